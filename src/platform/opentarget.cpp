#include "platform/opentarget.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace {

// Suffixes that run something when the shell opens them, on any system: a found .exe
// opened on Linux would start wine, a .desktop file a program.
bool isProgramName(const QString &fileName)
{
    static const QStringList suffixes = {
        QStringLiteral(".desktop"), QStringLiteral(".sh"), QStringLiteral(".exe"), QStringLiteral(".bat"),
        QStringLiteral(".cmd"), QStringLiteral(".com"), QStringLiteral(".lnk"), QStringLiteral(".scr"),
        QStringLiteral(".ps1"), QStringLiteral(".vbs"), QStringLiteral(".js"), QStringLiteral(".pif"),
        QStringLiteral(".msi"), QStringLiteral(".hta"), QStringLiteral(".cpl"), QStringLiteral(".jar"),
        QStringLiteral(".wsf"), QStringLiteral(".vbe"), QStringLiteral(".jse"), QStringLiteral(".reg"),
        QStringLiteral(".url"), QStringLiteral(".appimage"),
    };
    return std::any_of(suffixes.cbegin(), suffixes.cend(),
                       [&fileName](const QString &s) { return fileName.endsWith(s, Qt::CaseInsensitive); });
}

bool hasExecuteBit(const QFileInfo &file)
{
    return file.permissions() & (QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther | QFile::ExeUser);
}

QString quoted(const QString &text)
{
    return u'“' + text + u'”';
}

} // namespace

OpenTarget::OpenTarget(Kind kind, QString target, QString reason)
    : m_kind(kind)
    , m_target(std::move(target))
    , m_reason(std::move(reason))
{
}

OpenTarget OpenTarget::of(const QString &text)
{
    const QString trimmed = text.trimmed();
    static const QRegularExpression schemePrefix(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    QString path;
    if (QDir::isAbsolutePath(trimmed) && !trimmed.startsWith(u':')) {
        path = trimmed;
    } else if (schemePrefix.match(trimmed).hasMatch()) {
        const QUrl url(trimmed);
        const QString scheme = url.scheme().toLower();
        if (scheme == u"file" && url.isLocalFile()) {
            path = url.toLocalFile();
        } else if ((scheme == u"http" || scheme == u"https" || scheme == u"ftp") && url.isValid()
                   && !url.host().isEmpty()) {
            return {Kind::Address, trimmed, {}};
        } else {
            return {Kind::Refused, {}, QStringLiteral("只打开 http、https、ftp 网址和本机的文档，不打开") + quoted(trimmed)
                                           + QStringLiteral("。")};
        }
    } else {
        return {Kind::NotATarget, {}, quoted(trimmed) + QStringLiteral("不是网址，也不是文件，没有可打开的内容。")};
    }

    const QFileInfo file(path);
    if (!file.exists())
        return {Kind::Refused, {}, QStringLiteral("文件") + quoted(path) + QStringLiteral("不存在，无法打开。")};
    const QFileInfo target(file.canonicalFilePath());
    if (!target.isFile())
        return {Kind::Refused, {}, quoted(path) + QStringLiteral("不是文件，无法打开。")};
    if (hasExecuteBit(target) || isProgramName(file.fileName()) || isProgramName(target.fileName()))
        return {Kind::Refused, {}, quoted(path) + QStringLiteral("是程序或脚本，为安全起见不打开。")};
    return {Kind::Document, file.absoluteFilePath(), {}};
}
