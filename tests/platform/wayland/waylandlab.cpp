#include "platform/wayland/waylandlab.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <unistd.h>

WaylandLab::~WaylandLab()
{
    stop();
}

void WaylandLab::stop()
{
    if (m_started)
        runScript({QStringLiteral("stop")}, nullptr);
    m_started = false;
}

bool WaylandLab::runScript(const QStringList &arguments, QString *output)
{
    QProcess script;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LAB"), m_folder.path());
    script.setProcessEnvironment(environment);
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(QStringLiteral("bash"), QStringList{QStringLiteral(NOTAVO_WAYLAND_LAB_SCRIPT)} + arguments);
    const bool finished = script.waitForFinished(90000);
    if (output)
        *output = QString::fromLocal8Bit(script.readAll());
    return finished && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
}

bool WaylandLab::start(const QString &compositor)
{
    const QString server = compositor == QLatin1String("kwin") ? QStringLiteral("kwin_wayland") : compositor;
    for (const QString &program : {server, QStringLiteral("dbus-daemon")}) {
        if (QStandardPaths::findExecutable(program).isEmpty()) {
            m_error = QStringLiteral("%1 is not installed (scripts/install-deps.sh ci)").arg(program);
            return false;
        }
    }
    if (::geteuid() == 0 && QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()) {
        m_error = QStringLiteral("setpriv is missing: the compositor cannot run as an unprivileged user");
        return false;
    }
    if (!m_folder.isValid()) {
        m_error = QStringLiteral("no temporary folder for the lab");
        return false;
    }
    QString output;
    m_started = true;
    if (!runScript({QStringLiteral("start"), compositor}, &output)) {
        m_error = QStringLiteral("%1 did not start headless here:\n%2").arg(compositor, output.right(2000));
        return false;
    }
    QFile environment(m_folder.filePath(QStringLiteral("env")));
    if (!environment.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("the lab wrote no environment");
        return false;
    }
    // Only the compositor's place: the lab's bus belongs to its own user, not to this process.
    const QList<QByteArray> lines = environment.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const qsizetype equals = line.indexOf('=');
        const QByteArray name = line.left(equals);
        if (equals > 0 && (name == "WAYLAND_DISPLAY" || name == "XDG_RUNTIME_DIR"))
            qputenv(name.constData(), line.mid(equals + 1));
    }
    return true;
}
