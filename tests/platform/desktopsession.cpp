#include "desktopsession.h"

#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

#include <signal.h>

DesktopSession::~DesktopSession()
{
    for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
        QProcess &process = **it;
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    if (m_busPid > 0)
        ::kill(static_cast<pid_t>(m_busPid), SIGTERM);
}

QProcess *DesktopSession::start(const QString &program, const QStringList &arguments,
                                const QStringList &extraEnvironment)
{
    const QString path = QFileInfo(program).isAbsolute() ? program : QStandardPaths::findExecutable(program);
    if (path.isEmpty() || !QFileInfo(path).isExecutable()) {
        m_error = QStringLiteral("%1 is not installed").arg(program);
        return nullptr;
    }
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (!m_display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_display));
    for (const QString &entry : extraEnvironment)
        environment.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(program == QLatin1String("Xvfb") ? QProcess::ForwardedErrorChannel : QProcess::ForwardedChannels);
    process->start(path, arguments);
    if (!process->waitForStarted(10000)) {
        m_error = QStringLiteral("%1 did not start").arg(program);
        return nullptr;
    }
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

bool DesktopSession::startDisplay()
{
    // Xvfb writes the display number it chose to the given descriptor (its standard output).
    QProcess *xvfb = start(QStringLiteral("Xvfb"),
                           {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                            QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp")},
                           {});
    if (!xvfb)
        return false;
    QByteArray number;
    while (!number.contains('\n') && xvfb->waitForReadyRead(15000))
        number += xvfb->readAllStandardOutput();
    if (!number.contains('\n')) {
        m_error = QStringLiteral("Xvfb did not report its display");
        return false;
    }
    m_display = ':' + number.trimmed();
    return true;
}

bool DesktopSession::startWindowManager()
{
    return start(QStringLiteral("openbox"), {}, {}) != nullptr;
}

bool DesktopSession::startAccessibilityBus()
{
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--session"), QStringLiteral("--fork"), QStringLiteral("--print-address=1"),
               QStringLiteral("--print-pid=1")});
    if (!bus.waitForFinished(10000) || bus.exitCode() != 0) {
        m_error = QStringLiteral("dbus-daemon is not installed or did not start");
        return false;
    }
    const QList<QByteArray> lines = bus.readAllStandardOutput().trimmed().split('\n');
    if (lines.size() < 2) {
        m_error = QStringLiteral("dbus-daemon did not report its address");
        return false;
    }
    m_busPid = lines.at(1).trimmed().toLongLong();
    qputenv("DBUS_SESSION_BUS_ADDRESS", lines.at(0).trimmed());
    qputenv("DISPLAY", m_display);
    if (!start(QStringLiteral("/usr/libexec/at-spi-bus-launcher"), {QStringLiteral("--launch-immediately")}, {}))
        return false;
    // Ready once the launcher answers with the accessibility bus's address.
    for (int attempt = 0; attempt < 100; ++attempt) {
        QProcess ask;
        ask.start(QStringLiteral("dbus-send"),
                  {QStringLiteral("--session"), QStringLiteral("--print-reply"), QStringLiteral("--dest=org.a11y.Bus"),
                   QStringLiteral("/org/a11y/bus"), QStringLiteral("org.a11y.Bus.GetAddress")});
        if (ask.waitForFinished(5000) && ask.exitCode() == 0)
            return true;
        QThread::msleep(100);
    }
    m_error = QStringLiteral("the accessibility bus did not answer");
    return false;
}

QProcess *DesktopSession::startProgram(const QString &program, const QStringList &arguments,
                                       const QStringList &extraEnvironment)
{
    return start(program, arguments, extraEnvironment);
}
