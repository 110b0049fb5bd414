#include "platform/ConditionLock.h"

ConditionLock::ConditionLock(int condition)
    : m_condition(condition)
{
}

void ConditionLock::waitForCondition(int condition)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_condition == condition; });
}

void ConditionLock::setCondition(int condition)
{
    // Notified under the lock: a waiter released by it may destroy this object as soon as it runs.
    std::lock_guard lock(m_mutex);
    m_condition = condition;
    m_changed.notify_all();
}

int ConditionLock::condition() const
{
    std::lock_guard lock(m_mutex);
    return m_condition;
}
