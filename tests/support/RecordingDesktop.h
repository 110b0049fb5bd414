#pragma once

#include "platform/DesktopServices.h"

#include <QList>
#include <QUrl>

#include <memory>
#include <mutex>

// Stands in for the desktop while it lives: records every URL the application hands to it, from
// any thread, and puts the previous desktop back when it goes.
class RecordingDesktop {
public:
    RecordingDesktop()
    {
        auto recorder = std::make_unique<Recorder>();
        m_recorder = recorder.get();
        m_previous = DesktopServices::replace(std::move(recorder));
    }
    ~RecordingDesktop() { DesktopServices::replace(std::move(m_previous)); }
    RecordingDesktop(const RecordingDesktop&) = delete;
    RecordingDesktop& operator=(const RecordingDesktop&) = delete;

    QList<QUrl> opened() const { return m_recorder->urls(); }

private:
    class Recorder final : public DesktopServices {
    public:
        bool openUrl(const QUrl& url) override
        {
            const std::lock_guard guard(m_lock);
            m_urls << url;
            return true;
        }
        QList<QUrl> urls() const
        {
            const std::lock_guard guard(m_lock);
            return m_urls;
        }

    private:
        mutable std::mutex m_lock;
        QList<QUrl> m_urls;
    };

    Recorder* m_recorder = nullptr; // owned by DesktopServices while this lives
    std::unique_ptr<DesktopServices> m_previous;
};
