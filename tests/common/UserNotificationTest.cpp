#include "common/UserNotification.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QVariantMap>
#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

// Stands in for the desktop's notification service on a private session bus.
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QString appName, summary, body;
    QVariantMap hints;
    int expireTimeout = 0;

public slots:
    uint Notify(const QString& application, uint /*replacesId*/, const QString& /*icon*/, const QString& title,
                const QString& text, const QStringList& /*actions*/, const QVariantMap& notificationHints,
                int timeout)
    {
        appName = application;
        summary = title;
        body = text;
        hints = notificationHints;
        expireTimeout = timeout;
        emit notified();
        return 1;
    }

signals:
    void notified();
};

constexpr int kGenerousWait = 30000;

class UserNotification : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty())
            return;
        s_bus = std::make_unique<QProcess>();
        s_bus->start(daemon, {"--session", "--nofork", "--nopidfile", "--print-address=1"});
        if (!s_bus->waitForStarted(kGenerousWait) || !s_bus->waitForReadyRead(kGenerousWait))
            return;
        const QByteArray address = s_bus->readLine().trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);

        s_service = std::make_unique<FakeNotificationService>();
        QDBusConnection serviceConnection = QDBusConnection::connectToBus(QString::fromUtf8(address), "service");
        s_ready = serviceConnection.registerObject("/org/freedesktop/Notifications", s_service.get(),
                                                   QDBusConnection::ExportAllSlots) &&
                  serviceConnection.registerService("org.freedesktop.Notifications");
    }

    static void TearDownTestSuite()
    {
        QDBusConnection::disconnectFromBus("service");
        s_service.reset();
        if (s_bus) {
            s_bus->terminate();
            s_bus->waitForFinished(kGenerousWait);
            s_bus.reset();
        }
    }

    void SetUp() override
    {
        if (!s_ready)
            GTEST_SKIP() << "no private session bus could be started";
    }

    static inline std::unique_ptr<QProcess> s_bus;
    static inline std::unique_ptr<FakeNotificationService> s_service;
    static inline bool s_ready = false;
};

TEST_F(UserNotification, ReachesTheNotificationServiceWithTitleTextAndSound)
{
    QCoreApplication::setApplicationName("Tomefold");
    QSignalSpy notified(s_service.get(), &FakeNotificationService::notified);
    WBQUtil::PostUserNotification("Export completed", "All files were converted.");
    ASSERT_TRUE(notified.wait(kGenerousWait));
    EXPECT_EQ(s_service->appName, "Tomefold");
    EXPECT_EQ(s_service->summary, "Export completed");
    EXPECT_EQ(s_service->body, "All files were converted.");
    EXPECT_TRUE(s_service->hints.contains("sound-name"));
    EXPECT_EQ(s_service->expireTimeout, -1);
}

TEST_F(UserNotification, CanBePostedFromAnotherThread)
{
    QSignalSpy notified(s_service.get(), &FakeNotificationService::notified);
    std::thread worker([] { WBQUtil::PostUserNotification("From a worker", "text"); });
    const bool arrived = notified.wait(kGenerousWait);
    worker.join();
    ASSERT_TRUE(arrived);
    EXPECT_EQ(s_service->summary, "From a worker");
}

} // namespace

#include "UserNotificationTest.moc"
