#pragma once

#include <QThreadPool>

#include <functional>

// A queue that runs its operations one at a time, in the order they were added, on a thread of its own.
class SerialOperationQueue {
public:
    SerialOperationQueue();
    ~SerialOperationQueue();
    SerialOperationQueue(const SerialOperationQueue&) = delete;
    SerialOperationQueue& operator=(const SerialOperationQueue&) = delete;

    void addOperation(std::function<void()> operation);
    // Returns when every operation added so far has finished.
    void waitUntilAllOperationsAreFinished();

private:
    QThreadPool m_pool;
};
