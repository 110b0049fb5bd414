#include "app/rating/MacAppStoreRating.h"

#include "app/AppInfo.h"
#include "app/rating/JSONValueScan.h"
#include "platform/DesktopServices.h"

#include <QEventLoop>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSettings>
#include <QThread>
#include <QTimer>

namespace {

constexpr int kLookupTimeoutMs = 20000;
// The store's answer for one application is a few kilobytes; anything far larger is not it.
constexpr qint64 kMaximumAnswerBytes = 1 << 20;

QString settingText(const QString& key)
{
    return QSettings().value(key).toString().trimmed();
}

// Leading decimal digits as a number; 0 when there are none.
quint64 leadingNumber(const QString& text)
{
    quint64 number = 0;
    for (const QChar c : text) {
        if (!c.isDigit() || c.unicode() > 0x7F)
            break;
        number = number * 10 + static_cast<quint64>(c.unicode() - u'0');
    }
    return number;
}

// Fetches the address synchronously on the calling thread, without caching.
std::optional<QByteArray> fetch(const QUrl& url)
{
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(kLookupTimeoutMs);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, reply.get(), [&reply](qint64 received, qint64 total) {
        if (received > kMaximumAnswerBytes || total > kMaximumAnswerBytes)
            reply->abort();
    });
    if (!reply->isFinished())
        loop.exec();
    if (reply->error() != QNetworkReply::NoError || reply->bytesAvailable() > kMaximumAnswerBytes)
        return std::nullopt;
    return reply->readAll();
}

} // namespace

MacAppStoreRating::MacAppStoreRating(QObject* parent)
    : QObject(parent)
    , m_appStoreCountry(QLocale().name().section(u'_', 1, 1))
    , m_applicationBundleID(AppInfo::kBundleIdentifier)
{
    // The lookup starts once the event loop runs, that is when launching has finished.
    QTimer::singleShot(0, this, &MacAppStoreRating::applicationLaunched);
}

MacAppStoreRating::~MacAppStoreRating()
{
    if (m_lookupThread)
        m_lookupThread->wait();
}

void MacAppStoreRating::setAppStoreID(quint64 identifier)
{
    m_appStoreID.store(identifier);
    emit appStoreIDChanged(identifier);
}

QUrl MacAppStoreRating::ratingsURL() const
{
    if (m_ratingsURL.isValid())
        return m_ratingsURL;
    const QString host = settingText(kRatingHostSetting);
    if (host.isEmpty())
        return {};
    QUrl url;
    url.setScheme(QStringLiteral("macappstore"));
    url.setHost(host);
    url.setPath(QStringLiteral("/app/id%1").arg(appStoreID()));
    return url.isValid() ? url : QUrl();
}

bool MacAppStoreRating::canRate() const
{
    return appStoreID() != 0 && ratingsURL().isValid();
}

void MacAppStoreRating::applicationLaunched()
{
    if (m_lookupThread || lookupURL().isEmpty())
        return;
    m_lookupThread.reset(QThread::create([this] {
        checkForConnectivityInBackground();
        emit lookupEnded();
    }));
    m_lookupThread->start();
}

QUrl MacAppStoreRating::lookupURL() const
{
    const QString host = settingText(kLookupHostSetting);
    if (host.isEmpty())
        return {};
    QString address = QStringLiteral("%1//lookup?country=%2").arg(host, appStoreCountry());
    if (appStoreID() == 0)
        address += QStringLiteral("&bundleId=%1").arg(applicationBundleID());
    else
        address += QStringLiteral("&id=%1").arg(appStoreID());
    const QUrl url(address);
    return url.isValid() ? url : QUrl();
}

void MacAppStoreRating::checkForConnectivityInBackground()
{
    const QUrl url = lookupURL();
    if (url.isEmpty())
        return;
    const std::optional<QByteArray> answer = fetch(url);
    if (!answer)
        return;
    const QString text = QString::fromUtf8(*answer);
    if (valueForKey(QStringLiteral("bundleId"), text) != applicationBundleID() || appStoreID() != 0)
        return;
    const std::optional<QString> trackId = valueForKey(QStringLiteral("trackId"), text);
    const quint64 identifier = trackId ? leadingNumber(*trackId) : 0;
    if (identifier != 0)
        setAppStoreID(identifier);
}

void MacAppStoreRating::RateApplicationAction()
{
    if (!canRate())
        return;
    DesktopServices::instance().openUrl(ratingsURL());
}

std::optional<QString> MacAppStoreRating::valueForKey(const QString& key, const QString& json)
{
    return ScanJSONValueForKey(key, json);
}
