#include "app/rating/MacAppStoreRating.h"

#include "support/RecordingDesktop.h"

#include <QHostAddress>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

namespace {

// Answers every HTTP request on the loopback address with one fixed body and records the
// request lines it saw.
class LookupServer {
public:
    explicit LookupServer(QByteArray body) : m_body(std::move(body))
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { answer(); });
        m_server.listen(QHostAddress::LocalHost);
    }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    const std::vector<QByteArray>& requestLines() const { return m_requestLines; }

private:
    void answer()
    {
        QTcpSocket* socket = m_server.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            m_buffer += socket->readAll();
            if (!m_buffer.contains("\r\n\r\n"))
                return;
            m_requestLines.push_back(m_buffer.left(m_buffer.indexOf("\r\n")));
            m_buffer.clear();
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: "
                + QByteArray::number(m_body.size()) + "\r\n\r\n" + m_body);
            socket->disconnectFromHost();
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

    QTcpServer m_server;
    QByteArray m_body;
    QByteArray m_buffer;
    std::vector<QByteArray> m_requestLines;
};

class StoreRating : public testing::Test {
protected:
    void SetUp() override
    {
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsDir.path());
        QSettings().clear();
    }
    void TearDown() override { QSettings().clear(); }

    QTemporaryDir m_settingsDir;
    RecordingDesktop m_desktop;
};

} // namespace

TEST_F(StoreRating, FindsItsIdentifierAndOpensTheRatingPage)
{
    LookupServer server(R"({"results":[{"bundleId" : "org.example.App", "trackId":4242,"z":0}]})");
    QSettings().setValue(MacAppStoreRating::kLookupHostSetting, server.address());
    QSettings().setValue(MacAppStoreRating::kRatingHostSetting, QStringLiteral("store.example"));

    MacAppStoreRating rating;
    rating.setApplicationBundleID(QStringLiteral("org.example.App"));
    rating.setAppStoreCountry(QStringLiteral("GB"));
    QSignalSpy found(&rating, &MacAppStoreRating::appStoreIDChanged);
    ASSERT_TRUE(found.wait(30000));

    EXPECT_EQ(rating.appStoreID(), 4242u);
    ASSERT_EQ(server.requestLines().size(), 1u);
    EXPECT_EQ(server.requestLines().front(), "GET /lookup?country=GB&bundleId=org.example.App HTTP/1.1");
    EXPECT_TRUE(rating.canRate());
    rating.RateApplicationAction();
    ASSERT_EQ(m_desktop.opened().size(), 1);
    EXPECT_EQ(m_desktop.opened().front(), QUrl(QStringLiteral("macappstore://store.example/app/id4242")));
}

TEST_F(StoreRating, AnotherApplicationsAnswerLeavesTheActionDisabled)
{
    LookupServer server(R"({"bundleId":"org.other.App","trackId":7,"z":0})");
    QSettings().setValue(MacAppStoreRating::kLookupHostSetting, server.address());
    QSettings().setValue(MacAppStoreRating::kRatingHostSetting, QStringLiteral("store.example"));

    MacAppStoreRating rating;
    rating.setApplicationBundleID(QStringLiteral("org.example.App"));
    QSignalSpy ended(&rating, &MacAppStoreRating::lookupEnded);
    ASSERT_TRUE(ended.wait(30000));

    EXPECT_EQ(server.requestLines().size(), 1u);
    EXPECT_EQ(rating.appStoreID(), 0u);
    EXPECT_FALSE(rating.canRate());
    rating.RateApplicationAction();
    EXPECT_TRUE(m_desktop.opened().isEmpty());
}

TEST_F(StoreRating, AnOversizedAnswerIsNotRead)
{
    LookupServer server(R"({"bundleId":"org.example.App","trackId":4242,"pad":")" + QByteArray(2 << 20, 'x')
                        + R"(","z":0})");
    QSettings().setValue(MacAppStoreRating::kLookupHostSetting, server.address());
    QSettings().setValue(MacAppStoreRating::kRatingHostSetting, QStringLiteral("store.example"));

    MacAppStoreRating rating;
    rating.setApplicationBundleID(QStringLiteral("org.example.App"));
    QSignalSpy ended(&rating, &MacAppStoreRating::lookupEnded);
    ASSERT_TRUE(ended.wait(30000));
    EXPECT_EQ(rating.appStoreID(), 0u);
    EXPECT_FALSE(rating.canRate());
}

TEST_F(StoreRating, ConnectsNowhereWithoutAConfiguredHost)
{
    MacAppStoreRating rating;
    rating.applicationLaunched();
    rating.setAppStoreID(5);
    EXPECT_FALSE(rating.canRate()) << "no rating host is configured";
    rating.RateApplicationAction();
    EXPECT_TRUE(m_desktop.opened().isEmpty());
}
