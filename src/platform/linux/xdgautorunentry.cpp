#include "platform/linux/xdgautorunentry.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

XdgAutoRunEntry::XdgAutoRunEntry(QString autostartFolder)
    : m_folder(std::move(autostartFolder))
{
}

QString XdgAutoRunEntry::entryPath() const
{
    return QDir(m_folder).filePath(QStringLiteral("Notavo.desktop"));
}

namespace {

// Desktop entry Exec values quote arguments that hold spaces or special characters.
QString quotedExec(const QString &command)
{
    static const QString special = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = false;
    for (const QChar c : command)
        needsQuotes = needsQuotes || special.contains(c);
    if (!needsQuotes)
        return command;
    QString escaped = command;
    escaped.replace(u'\\', QStringLiteral("\\\\"));
    escaped.replace(u'"', QStringLiteral("\\\""));
    escaped.replace(u'`', QStringLiteral("\\`"));
    escaped.replace(u'$', QStringLiteral("\\$"));
    return u'"' + escaped + u'"';
}

// A desktop entry string value: backslashes and control characters escaped.
QString escapedString(const QString &value)
{
    QString escaped = value;
    escaped.replace(u'\\', QStringLiteral("\\\\"));
    escaped.replace(u'\n', QStringLiteral("\\n"));
    escaped.replace(u'\t', QStringLiteral("\\t"));
    escaped.replace(u'\r', QStringLiteral("\\r"));
    return escaped;
}

} // namespace

void XdgAutoRunEntry::setCommand(const QString &command)
{
    const bool enabled = !command.isEmpty();
    // Switching off an entry that was never written leaves nothing behind.
    if (!enabled && !QFile::exists(entryPath()))
        return;
    QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=Notavo\n");
    entry += QStringLiteral("Exec=") + (enabled ? quotedExec(command) : QStringLiteral("true")) + u'\n';
    // A removed or moved program leaves an entry that the session skips, not a broken one.
    if (enabled)
        entry += QStringLiteral("TryExec=") + escapedString(command) + u'\n';
    entry += QStringLiteral("Hidden=") + (enabled ? QStringLiteral("false") : QStringLiteral("true")) + u'\n';
    entry += QStringLiteral("X-GNOME-Autostart-enabled=") + (enabled ? QStringLiteral("true") : QStringLiteral("false")) + u'\n';

    // Like the registry write it stands in for, a failure leaves the old entry and is not reported.
    QDir().mkpath(m_folder);
    QSaveFile file(entryPath());
    if (file.open(QIODevice::WriteOnly)) {
        file.write(entry.toUtf8());
        file.commit();
    }
}

void XdgAutoRunEntry::followProgram(const QString &command)
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    file.close();
    if (lines.contains(QStringLiteral("Hidden=false")) && !lines.contains(QStringLiteral("Exec=") + quotedExec(command)))
        setCommand(command);
}

std::unique_ptr<AutoRunEntry> createAutoRunEntry()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return std::make_unique<XdgAutoRunEntry>(QDir(config).filePath(QStringLiteral("autostart")));
}
