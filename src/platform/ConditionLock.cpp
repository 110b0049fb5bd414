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
    {
        std::lock_guard lock(m_mutex);
        m_condition = condition;
    }
    m_changed.notify_all();
}

int ConditionLock::condition() const
{
    std::lock_guard lock(m_mutex);
    return m_condition;
}
