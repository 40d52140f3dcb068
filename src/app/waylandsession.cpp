#include "app/waylandsession.h"

namespace WaylandSession {

bool runsThroughXWayland(const QString &platformName, const QByteArray &sessionType, const QByteArray &waylandDisplay)
{
    if (platformName != QLatin1String("xcb"))
        return false;
    return sessionType.trimmed().toLower() == "wayland" || !waylandDisplay.isEmpty();
}

QString notice()
{
    return QStringLiteral(
        "当前桌面是 Wayland 会话，Notavo 通过 XWayland 运行。\n"
        "网上记录方式看不到鼠标在 Wayland 原生窗口上的位置，也看不到这些窗口的前后次序："
        "鼠标移到屏幕顶端时收集窗口可能不出现，资料来源也可能记不下来。\n"
        "照常可用的是：普通记录方式（复制文字即可收集，来源取自复制的内容）；"
        "收集窗口显示时把文字拖到窗口上；以及托盘菜单中的其他功能。");
}

} // namespace WaylandSession
