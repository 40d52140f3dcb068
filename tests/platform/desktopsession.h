#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// A throw-away desktop for tests: its own Xvfb display, optionally a window manager and a
// session bus with the accessibility bus. Everything it starts ends with it.
class DesktopSession final
{
public:
    DesktopSession() = default;
    ~DesktopSession();
    Q_DISABLE_COPY_MOVE(DesktopSession)

    // Each returns false with a reason in error() when the program is missing or fails.
    bool startDisplay();
    bool startWindowManager();
    // Starts a session bus and the accessibility bus, and points this process at them.
    bool startAccessibilityBus();
    QProcess *startProgram(const QString &program, const QStringList &arguments,
                           const QStringList &extraEnvironment = {});

    QByteArray display() const { return m_display; }
    QString error() const { return m_error; }

private:
    QProcess *start(const QString &program, const QStringList &arguments, const QStringList &extraEnvironment);

    std::vector<std::unique_ptr<QProcess>> m_processes;
    qint64 m_busPid = 0;
    QByteArray m_display;
    QString m_error;
};
