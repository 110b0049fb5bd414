#include "support/HangGuard.h"

#include <cstdio>
#include <cstdlib>

HangGuard::HangGuard(std::chrono::seconds limit, std::string what)
{
    m_watch = std::thread([this, limit, what = std::move(what)] {
        std::unique_lock lock(m_lock);
        if (m_ended.wait_for(lock, limit, [this] { return m_done; }))
            return;
        // The test's own threads are stuck: nothing but ending the program gets the result out.
        std::fprintf(stderr, "\nFAILED: %s did not end within %lld seconds; the test program gives up\n",
                     what.c_str(), static_cast<long long>(limit.count()));
        std::fflush(stderr);
        std::_Exit(EXIT_FAILURE);
    });
}

HangGuard::~HangGuard()
{
    {
        const std::lock_guard guard(m_lock);
        m_done = true;
    }
    m_ended.notify_all();
    m_watch.join();
}
