#pragma once

#include "app/startrequest.h"

#include <QLockFile>
#include <QObject>
#include <QStringList>

#include <memory>

class QLocalServer;

// One running program per user session. The first start holds a lock file and listens on a
// local socket beside it; a later start finds the lock taken and hands its request (show the
// history browser, carry out tray entries, open files in the built-in editor) to the running
// one over the socket.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    // folder: where the lock and the socket live, usually the session's runtime folder.
    explicit SingleInstance(const QString &folder, QObject *parent = nullptr);
    ~SingleInstance() override;
    Q_DISABLE_COPY_MOVE(SingleInstance)

    // The session's runtime folder; where there is none or it cannot be written, the program's
    // data folder; failing that, a folder of this user's in the temporary folder.
    static QString defaultFolder();

    // Takes the lock; false when another running program holds it. A lock left by a program
    // that has died is taken over. Where no lock can be made at all (an unwritable folder),
    // the program runs unguarded rather than not at all.
    bool acquire();
    // Starts taking requests from later starts; call once the program's application object
    // exists and it can answer them.
    bool listen();
    // From a later start: hands `request` to the running program. True when it has taken it.
    bool handOver(const StartRequest &request, int timeoutMilliseconds = 10000) const;

Q_SIGNALS:
    // A later start asked for this; an empty request asks the program to come forward.
    void requestReceived(const StartRequest &request);

private:
    void onNewConnection();

    QString m_socketPath;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
};
