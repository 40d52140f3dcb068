#pragma once

#include "store/recordrebuilder.h"
#include "store/storeworker.h"

#include <QObject>
#include <QString>
#include <memory>

// 重建记录 as the history window runs it: the rebuild works in a worker thread on a store of
// its own, so the window never waits for it, and can be stopped at any time.
class RebuildTask final : public QObject
{
    Q_OBJECT

public:
    explicit RebuildTask(QString databasePath, QObject *parent = nullptr);
    // Stops running work (see stopNow).
    ~RebuildTask() override;
    Q_DISABLE_COPY_MOVE(RebuildTask)

    bool isRunning() const { return m_worker.isRunning(); }
    // Starts rebuilding from `saveFolder`; false while a rebuild still runs.
    bool start(const QString &saveFolder);
    // Asks the rebuild to stop; `finished` follows with the report of what was done.
    void requestStop() { m_worker.requestStop(); }
    // Stops the rebuild and waits for it: it stops between pieces of a file, so this is short.
    // The report of what was done and left, or the empty text when no rebuild ran.
    QString stopNow();

Q_SIGNALS:
    void finished(const QString &report, bool ok);

private:
    StoreWorker m_worker;
    std::shared_ptr<RecordRebuilder::Result> m_result;
};
