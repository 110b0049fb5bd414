#include "platform/ConditionLock.h"
#include "platform/MainThread.h"
#include "platform/SerialOperationQueue.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Runs work on a worker thread while the main thread keeps its event loop turning.
void runOnWorkerWhileMainServes(const std::function<void()>& work)
{
    QEventLoop loop;
    std::thread worker([&] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
}

} // namespace

TEST(MainThread, RunsWorkOnTheMainThreadAndWaitsForIt)
{
    QThread* ranOn = nullptr;
    bool doneBeforeReturn = false;
    runOnWorkerWhileMainServes([&] {
        EXPECT_FALSE(MainThread::isMainThread());
        int value = 0;
        runOnMainAndWait([&] {
            ranOn = QThread::currentThread();
            value = 42;
        });
        doneBeforeReturn = value == 42;
    });
    EXPECT_EQ(ranOn, qApp->thread());
    EXPECT_TRUE(doneBeforeReturn);
}

TEST(MainThread, CallsDirectlyWhenAlreadyOnTheMainThread)
{
    // A queued blocking call to itself would deadlock; nesting must work too.
    int depth = 0;
    runOnMainAndWait([&] {
        ++depth;
        runOnMainAndWait([&] { ++depth; });
    });
    EXPECT_EQ(depth, 2);
}

TEST(MainThread, LaterRunsOnlyOnceTheEventLoopTurns)
{
    bool ran = false;
    MainThread::runOnMainLater([&] { ran = true; });
    EXPECT_FALSE(ran);
    QCoreApplication::processEvents();
    EXPECT_TRUE(ran);
}

TEST(ConditionLock, ReleasesAWaiterWhenAnotherThreadSetsTheCondition)
{
    ConditionLock lock(0);
    std::atomic<bool> released{false};
    std::thread waiter([&] {
        lock.waitForCondition(1);
        released = true;
    });
    lock.setCondition(1);
    waiter.join();
    EXPECT_TRUE(released);
    // A condition already met does not block.
    lock.waitForCondition(1);
    EXPECT_EQ(lock.condition(), 1);
}

TEST(SerialOperationQueue, RunsOperationsOneAtATimeInOrder)
{
    SerialOperationQueue queue;
    std::vector<int> order;
    std::atomic<int> running{0};
    std::atomic<int> mostAtOnce{0};
    for (int i = 0; i < 50; ++i) {
        queue.addOperation([&, i] {
            mostAtOnce = std::max(mostAtOnce.load(), ++running);
            order.push_back(i);
            --running;
        });
    }
    queue.waitUntilAllOperationsAreFinished();
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(order[static_cast<size_t>(i)], i);
    EXPECT_EQ(mostAtOnce.load(), 1);
    // The queue stays usable after a wait.
    queue.addOperation([&] { order.push_back(50); });
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(order.back(), 50);
}
