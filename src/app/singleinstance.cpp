#include "app/singleinstance.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

namespace {

// Sent back once the running program has taken a request.
constexpr char kAccepted = 'A';

} // namespace

SingleInstance::SingleInstance(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_socketPath(QDir(folder).filePath(QStringLiteral("notavo.socket")))
    , m_lock(QDir(folder).filePath(QStringLiteral("notavo.lock")))
{
    // Only a lock whose program has died is stale; a running program's lock never ages.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

namespace {

// Whether the lock and the socket can be made in `folder`, made first when missing.
bool canHoldLock(const QString &folder)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("notavo-probe-XXXXXX")));
    return probe.open();
}

} // namespace

QString SingleInstance::defaultFolder()
{
    // Every start of this user's picks the same folder: the first of these that can be written.
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (canHoldLock(runtime))
            return runtime;
    }
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (canHoldLock(data))
        return data;
    // A private folder of this user's in the temporary folder.
    const QString folder =
        QDir::temp().filePath(QStringLiteral("notavo-%1").arg(QFileInfo(QDir::homePath()).ownerId()));
    if (QDir().mkpath(folder))
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
}

bool SingleInstance::acquire()
{
    return m_lock.tryLock(0) || m_lock.error() != QLockFile::LockFailedError;
}

bool SingleInstance::listen()
{
    // The lock is ours, so a socket file left there belongs to a program that has died.
    QLocalServer::removeServer(m_socketPath);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    return m_server->listen(m_socketPath);
}

bool SingleInstance::handOver(const StartRequest &startRequest, int timeoutMilliseconds) const
{
    // The running program may still be starting up and not listen yet: keep trying a while.
    const QDeadlineTimer deadline(timeoutMilliseconds);
    QLocalSocket socket;
    while (true) {
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(static_cast<int>(qMax<qint64>(deadline.remainingTime(), 1))))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    QByteArray request;
    QDataStream requestStream(&request, QIODevice::WriteOnly);
    requestStream << startRequest.toWords();
    socket.write(request);
    if (!socket.waitForBytesWritten(static_cast<int>(qMax<qint64>(deadline.remainingTime(), 1))))
        return false;
    while (socket.bytesAvailable() == 0) {
        if (!socket.waitForReadyRead(static_cast<int>(qMax<qint64>(deadline.remainingTime(), 1))))
            return false;
    }
    return socket.read(1) == QByteArray(1, kAccepted);
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream stream(socket);
            stream.startTransaction();
            QStringList words;
            stream >> words;
            if (!stream.commitTransaction())
                return; // the rest of the request is still on its way
            socket->write(QByteArray(1, kAccepted));
            socket->flush();
            Q_EMIT requestReceived(StartRequest::fromWords(words));
        });
    }
}
