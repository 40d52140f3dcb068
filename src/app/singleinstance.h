#pragma once

#include <QLockFile>
#include <QObject>
#include <QStringList>

#include <memory>

class QLocalServer;

// One running program per user session. The first start holds a lock file and listens on a
// local socket beside it; a later start finds the lock taken and hands its request (show the
// history browser, or open files in the built-in editor) to the running one over the socket.
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
    // From a later start: asks the running program to come forward and to open `files`
    // (absolute paths). True when it has taken the request.
    bool handOver(const QStringList &files, int timeoutMilliseconds = 10000) const;

Q_SIGNALS:
    // A later start without files asked the running program to come forward.
    void showRequested();
    // A later start asked the running program to open a file in the built-in editor.
    void openFileRequested(const QString &path);

private:
    void onNewConnection();

    QString m_socketPath;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
};
