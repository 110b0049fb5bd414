#include "app/filelist/RevealInFileManager.h"

#include "platform/DesktopServices.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>

namespace {

void OpenEnclosingFolder(const QUrl& fileURL)
{
    const QString folder = QFileInfo(fileURL.toLocalFile()).absolutePath();
    DesktopServices::instance().openUrl(QUrl::fromLocalFile(folder));
}

} // namespace

void RevealInFileManager(const QUrl& fileURL)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        OpenEnclosingFolder(fileURL);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"), QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("ShowItems"));
    call << QStringList{fileURL.toString()} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [fileURL](QDBusPendingCallWatcher* finished) {
        if (finished->isError())
            OpenEnclosingFolder(fileURL);
        finished->deleteLater();
    });
}
