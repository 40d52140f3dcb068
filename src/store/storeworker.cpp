#include "store/storeworker.h"

#include "store/recordstore.h"

#include <QThread>

StoreWorker::StoreWorker(QString databasePath, QObject *parent)
    : QObject(parent)
    , m_databasePath(std::move(databasePath))
{
}

StoreWorker::~StoreWorker()
{
    stop();
}

void StoreWorker::stop()
{
    if (!m_thread)
        return;
    m_stopRequested = true;
    m_thread->wait();
    delete std::exchange(m_thread, nullptr);
}

bool StoreWorker::start(Work work)
{
    if (m_thread)
        return false;
    m_stopRequested = false;
    m_thread = QThread::create([path = m_databasePath, work = std::move(work), this] {
        // The store, and so its database connection, belongs to the worker thread.
        RecordStore store(path);
        work(store, m_stopRequested);
    });
    connect(m_thread, &QThread::finished, this, [this] {
        delete std::exchange(m_thread, nullptr);
        Q_EMIT finished();
    });
    m_thread->start(QThread::LowPriority);
    return true;
}
