#pragma once

#include "app/batch/BatchExportWorker.h"

#include <QObject>

#include <memory>
#include <thread>

// One running batch: its worker on a thread of its own. Lives on the main thread; announces the
// end of the worker there. Destroy it only once it has finished: the worker needs the main thread
// until then.
class BatchExportRun : public QObject {
    Q_OBJECT
public:
    explicit BatchExportRun(std::unique_ptr<BatchExportWorker> worker, QObject* parent = nullptr);
    ~BatchExportRun() override;

    void start();
    bool hasFinished() const { return m_finished; }
    const BatchExportWorker& worker() const { return *m_worker; }

signals:
    // The worker is done, its final alert answered. Emitted on the main thread.
    void finished();

private:
    void workerDidEnd();

    std::unique_ptr<BatchExportWorker> m_worker;
    std::thread m_thread;
    bool m_finished = false;
};
