#include "history/rebuildtask.h"

#include "store/recordstore.h"

RebuildTask::RebuildTask(QString databasePath, QObject *parent)
    : QObject(parent)
    , m_worker(std::move(databasePath))
{
    connect(&m_worker, &StoreWorker::finished, this, [this] {
        Q_EMIT finished(RecordRebuilder::report(*m_result), m_result->ok);
    });
}

RebuildTask::~RebuildTask()
{
    m_worker.stop();
}

bool RebuildTask::start(const QString &saveFolder)
{
    if (m_worker.isRunning())
        return false;
    auto result = std::make_shared<RecordRebuilder::Result>();
    m_result = result;
    return m_worker.start([result, saveFolder](RecordStore &store, const std::atomic_bool &stopRequested) {
        *result = RecordRebuilder::rebuild(store, saveFolder, [&stopRequested] { return !stopRequested; });
    });
}

QString RebuildTask::stopNow()
{
    if (!m_worker.isRunning())
        return {};
    m_worker.stop();
    return RecordRebuilder::report(*m_result);
}
