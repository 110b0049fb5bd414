#include "common/UserNotification.h"

#include <QDBusConnection>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(UserNotificationWithoutBus, DoesNothingAndReturns)
{
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tomefold-test-bus");
    WBQUtil::PostUserNotification("Title", "Text");
    EXPECT_FALSE(QDBusConnection::sessionBus().isConnected());

    // The worker waits for the main thread, whose event loop runs until the worker is through.
    QEventLoop loop;
    bool returned = false;
    std::thread worker([&loop, &returned] {
        WBQUtil::PostUserNotification("Title", "Text");
        returned = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit); // a hang fails the test instead of blocking it
    loop.exec();
    worker.join();
    EXPECT_TRUE(returned);
}

} // namespace
