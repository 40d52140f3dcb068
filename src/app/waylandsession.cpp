#include "app/waylandsession.h"

namespace WaylandSession {

bool runsThroughXWayland(const QString &platformName, const QByteArray &sessionType, const QByteArray &waylandDisplay)
{
    if (platformName != QLatin1String("xcb"))
        return false;
    return sessionType.trimmed().toLower() == "wayland" || !waylandDisplay.isEmpty();
}

QString notice(const Facts &facts)
{
    if (!facts.throughXWayland)
        return {};
    if (!facts.features.reached) {
        return QStringLiteral(
            "未能连接到本桌面的 Wayland 混成器（未设置 WAYLAND_DISPLAY，或本程序未带 Wayland 支持）：\n"
            "网上记录方式下，鼠标在 Wayland 程序的窗口上移到屏幕顶端时，收集窗口不会出现；\n"
            "普通记录方式可能看不到在 Wayland 程序中复制的文字。\n"
            "把文字拖到显示着的收集窗口上照常可用。");
    }
    if (facts.features.dataControl() && !facts.clipboardWatched) {
        return QStringLiteral("无法通过本桌面的剪贴板管理协议读取剪贴板：普通记录方式看不到在 Wayland 程序中复制的文字，"
                              "只能看到 X11 程序中的复制。把文字拖到收集窗口上照常可用。");
    }
    return {};
}

} // namespace WaylandSession
