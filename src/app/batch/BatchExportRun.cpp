#include "app/batch/BatchExportRun.h"

#include <QMetaObject>

BatchExportRun::BatchExportRun(std::unique_ptr<BatchExportWorker> worker, QObject* parent)
    : QObject(parent)
    , m_worker(std::move(worker))
{
}

BatchExportRun::~BatchExportRun()
{
    if (m_thread.joinable())
        m_thread.join();
}

void BatchExportRun::start()
{
    m_thread = std::thread([this] {
        m_worker->ExportToPDF();
        // Queued to this object: dropped if it is gone by then.
        QMetaObject::invokeMethod(this, &BatchExportRun::workerDidEnd, Qt::QueuedConnection);
    });
}

void BatchExportRun::workerDidEnd()
{
    // The thread has nothing left to do but return.
    if (m_thread.joinable())
        m_thread.join();
    m_finished = true;
    emit finished();
}
