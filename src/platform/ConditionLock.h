#pragma once

#include <condition_variable>
#include <mutex>

// A lock with an integer condition: one thread waits until another sets the condition it waits for.
class ConditionLock {
public:
    explicit ConditionLock(int condition = 0);
    ConditionLock(const ConditionLock&) = delete;
    ConditionLock& operator=(const ConditionLock&) = delete;

    // Blocks until the condition equals the given value.
    void waitForCondition(int condition);
    void setCondition(int condition);
    int condition() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_condition;
};
