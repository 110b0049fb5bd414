#include "support/StubProgressDelegate.h"
#include "toolkit/options/StampOptions.h"
#include "toolkit/options/ToolkitProgress.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <thread>
#include <vector>

namespace {

class RecordingDelegate : public StubProgressDelegate {
public:
    void report(long value)
    {
        values.push_back(value);
        onMainThread.push_back(QThread::currentThread() == QCoreApplication::instance()->thread());
    }
    std::vector<long> values;
    std::vector<bool> onMainThread;
};

} // namespace

TEST(ToolkitProgress, ReportsNeedObjectAndMessageTheCancelQuestionOnlyTheObject)
{
    RecordingDelegate delegate;
    delegate.cancel = true;
    // A target without a message gets no reports but is still asked whether to stop.
    ProgressCallbackInfo noMessage{&delegate, nullptr};
    ToolkitProgress::Report(noMessage, 1);
    EXPECT_TRUE(ToolkitProgress::IsCancelled(noMessage));
    ProgressCallbackInfo noObject{nullptr, static_cast<ProgressCallbackInfo::Selector>(&RecordingDelegate::report)};
    ToolkitProgress::Report(noObject, 1);
    EXPECT_FALSE(ToolkitProgress::IsCancelled(noObject));
    EXPECT_TRUE(delegate.values.empty());

    ProgressCallbackInfo target{&delegate, static_cast<ProgressCallbackInfo::Selector>(&RecordingDelegate::report)};
    EXPECT_TRUE(ToolkitProgress::IsCancelled(target));
    ToolkitProgress::Report(target, ToolkitProgress::ItemStarted);
    // From another thread the report runs on the main thread, the caller waiting.
    std::thread worker([&] { ToolkitProgress::Report(target, 2); });
    while (delegate.values.size() < 2)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    worker.join();
    EXPECT_EQ(delegate.values, (std::vector<long>{3, 2}));
    EXPECT_EQ(delegate.onMainThread, (std::vector<bool>{true, true}));
}

TEST(ToolkitRecords, StampOptionsExtendTheTextStamp)
{
    StampOptions stamp;
    stamp.referenceWidth = 550;
    stamp.overlayScale = 2;
    const TextStampOptions& text = stamp;
    EXPECT_DOUBLE_EQ(text.referenceWidth, 550);
    EXPECT_EQ(text.fontSize, 0);
    EXPECT_FALSE(stamp.overlayImage);
}
