#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>

class QThread;
class RecordStore;

// Runs long store work (indexing, rebuilding) in a worker thread on a RecordStore of its
// own, so the GUI thread's store stays free. `finished` arrives in the owner's thread.
class StoreWorker final : public QObject
{
    Q_OBJECT

public:
    // `stopRequested` turns true on requestStop() and when the worker is destroyed; the work
    // should then return soon.
    using Work = std::function<void(RecordStore &store, const std::atomic_bool &stopRequested)>;

    explicit StoreWorker(QString databasePath, QObject *parent = nullptr);
    // Asks running work to stop and waits for it.
    ~StoreWorker() override;
    Q_DISABLE_COPY_MOVE(StoreWorker)

    // Starts the work; false (and nothing started) while earlier work still runs.
    bool start(Work work);
    bool isRunning() const { return m_thread != nullptr; }
    // Asks running work to stop; `finished` follows when it has.
    void requestStop() { m_stopRequested = true; }
    // Asks running work to stop and waits for it; `finished` is then not emitted.
    void stop();

Q_SIGNALS:
    void finished();

private:
    QString m_databasePath;
    QThread *m_thread = nullptr;
    std::atomic_bool m_stopRequested = false;
};
