#include "platform/SerialOperationQueue.h"

SerialOperationQueue::SerialOperationQueue()
{
    // One thread keeps operations in order; it is never retired so the order cannot depend on timing.
    m_pool.setMaxThreadCount(1);
    m_pool.setExpiryTimeout(-1);
}

SerialOperationQueue::~SerialOperationQueue()
{
    m_pool.waitForDone();
}

void SerialOperationQueue::addOperation(std::function<void()> operation)
{
    m_pool.start(std::move(operation));
}

void SerialOperationQueue::waitUntilAllOperationsAreFinished()
{
    m_pool.waitForDone();
}
