#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <atomic>
#include <memory>
#include <optional>

class QThread;

// The rating action: looks up the application's store identifier once launching has finished
// and opens the store's rating page for it. The store's hosts are settings that are empty by
// default, so the application connects nowhere unless someone configured them.
class MacAppStoreRating : public QObject {
    Q_OBJECT
public:
    // Setting keys (QSettings) of the lookup service's address ("http://host[:port]") and of the
    // rating page's host.
    static inline const QString kLookupHostSetting = QStringLiteral("StoreLookupHost");
    static inline const QString kRatingHostSetting = QStringLiteral("StoreRatingHost");

    explicit MacAppStoreRating(QObject* parent = nullptr);
    ~MacAppStoreRating() override;

    quint64 appStoreID() const { return m_appStoreID.load(); }
    void setAppStoreID(quint64 identifier);
    const QString& appStoreCountry() const { return m_appStoreCountry; }
    void setAppStoreCountry(const QString& country) { m_appStoreCountry = country; }
    const QString& applicationBundleID() const { return m_applicationBundleID; }
    void setApplicationBundleID(const QString& bundleID) { m_applicationBundleID = bundleID; }

    // The explicitly set rating page, else one built from the identifier (none without a host).
    QUrl ratingsURL() const;
    void setRatingsURL(const QUrl& url) { m_ratingsURL = url; }

    // True when the rating action would open a page.
    bool canRate() const;

    void applicationLaunched();
    void checkForConnectivityInBackground();
    void RateApplicationAction();

    static std::optional<QString> valueForKey(const QString& key, const QString& json);

signals:
    void appStoreIDChanged(quint64 identifier);
    // The background lookup has ended, whatever it found.
    void lookupEnded();

private:
    QUrl lookupURL() const;

    std::atomic<quint64> m_appStoreID{0};
    QString m_appStoreCountry;
    QString m_applicationBundleID;
    QUrl m_ratingsURL;
    std::unique_ptr<QThread> m_lookupThread;
};
