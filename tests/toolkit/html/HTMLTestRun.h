#pragma once

#include "common/ProgressCallbackInfo.h"
#include "support/StubProgressDelegate.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>
#include <mutex>
#include <vector>

namespace HTMLTestRun {

// Runs work on a thread of its own while this (the main) thread runs its event loop, as the
// conversion needs; returns once work has returned.
void offMainThread(const std::function<void()>& work);

QUrl fixture(const QString& name);
QByteArray readFile(const QString& path);

// Records the progress numbers it is sent.
class ProgressRecorder : public StubProgressDelegate {
public:
    void report(long value)
    {
        const std::lock_guard guard(m_lock);
        m_values.push_back(value);
    }
    std::vector<long> values() const
    {
        const std::lock_guard guard(m_lock);
        return m_values;
    }
    ProgressCallbackInfo target() { return {this, static_cast<ProgressCallbackInfo::Selector>(&ProgressRecorder::report)}; }

private:
    mutable std::mutex m_lock;
    std::vector<long> m_values;
};

} // namespace HTMLTestRun
