#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// Ends the test program with a message when the guarded scope has not ended within the limit, so
// that a regression that hangs (a wait that is never answered, a thread that is never released)
// fails within about a minute instead of at ctest's time-out. Give it a generous limit: it bounds
// a hang and measures nothing.
class HangGuard {
public:
    HangGuard(std::chrono::seconds limit, std::string what);
    ~HangGuard();
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    std::mutex m_lock;
    std::condition_variable m_ended;
    bool m_done = false;
    std::thread m_watch;
};
