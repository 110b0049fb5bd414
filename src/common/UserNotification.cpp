#include "common/UserNotification.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QThread>
#include <QVariantMap>

namespace WBQUtil {

namespace {

QDBusMessage NotifyMessage(const QString& title, const QString& text)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints {{QStringLiteral("sound-name"), QStringLiteral("message-new-instant")}};
    const quint32 replacesNothing = 0;
    const qint32 serverDefaultTimeout = -1;
    message << QCoreApplication::applicationName() << replacesNothing << QString() << title << text
            << QStringList() << hints << serverDefaultTimeout;
    return message;
}

void SendNotification(const QString& title, const QString& text)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.asyncCall(NotifyMessage(title, text));
}

} // namespace

void PostUserNotification(const QString& title, const QString& text)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() == application->thread()) {
        SendNotification(title, text);
        return;
    }
    QMetaObject::invokeMethod(
        application, [&title, &text] { SendNotification(title, text); }, Qt::BlockingQueuedConnection);
}

} // namespace WBQUtil
