#include "chm/CHMDocument.h"
#include "chm/CHMWebPage.h"
#include "chm/CHMWebProfile.h"
#include "chm/ITSSScheme.h"
#include "platform/OffscreenWebPage.h"
#include "support/TestSupport.h"
#include "support/RecordingDesktop.h"

#include <QEventLoop>
#include <QTcpServer>
#include <QUdpSocket>
#include <QWebEngineView>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

void registerTestUrlSchemes()
{
    registerITSSScheme();
}

namespace {

class CHMWebPageTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("export-hooks"))),
                                           QStringLiteral("CHM")));
        m_profile = std::make_unique<CHMWebProfile>(m_document);
        auto page = std::make_unique<CHMWebPage>(m_profile->profile());
        m_page = page.get();
        m_view = std::make_unique<OffscreenWebPage>(std::move(page), QSize(800, 600));
    }
    void TearDown() override
    {
        m_view.reset();
        m_profile.reset();
    }

    bool load(const QString& path)
    {
        const QUrl url = m_document.composeURL(path);
        m_page->setTopicUrl(url);
        QSignalSpy ended(m_view.get(), &OffscreenWebPage::loadEnded);
        m_view->load(url, 30s);
        EXPECT_TRUE(ended.wait(60000));
        return !ended.isEmpty() && ended.first().first().toBool();
    }

    // Clicks the middle of an element of the page as the user would, with the mouse.
    void clickElement(const QString& id)
    {
        const QVariantList box = evaluate(QStringLiteral("(() => { const r = document.getElementById('%1')"
                                                         ".getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()")
                                              .arg(id))
                                     .toList();
        ASSERT_EQ(box.size(), 2) << id.toStdString();
        const QPoint point(box[0].toInt(), box[1].toInt());
        QWidget* target = m_view->view().focusProxy();
        ASSERT_NE(target, nullptr);
        QTest::mouseClick(target, Qt::LeftButton, {}, point);
    }

    // Clicks the link that fills the top of the page shown in an inline frame.
    void clickInFrame(const QString& frameId)
    {
        const QVariantList frame = evaluate(QStringLiteral("(() => { const r = document.getElementById('%1')"
                                                           ".getBoundingClientRect(); return [r.x, r.y]; })()")
                                                .arg(frameId))
                                       .toList();
        ASSERT_EQ(frame.size(), 2);
        QTest::mouseClick(m_view->view().focusProxy(), Qt::LeftButton, {},
                          QPoint(frame[0].toInt() + 20, frame[1].toInt() + 20));
    }

    QVariant evaluate(const QString& script)
    {
        QVariant result;
        QEventLoop loop;
        m_view->runScript(script, 30s, [&](const std::optional<QVariant>& value) {
            result = value.value_or(QVariant());
            loop.quit();
        });
        loop.exec();
        return result;
    }

    RecordingDesktop m_desktop;
    CHMDocument m_document;
    std::unique_ptr<CHMWebProfile> m_profile;
    std::unique_ptr<OffscreenWebPage> m_view;
    CHMWebPage* m_page = nullptr; // owned by m_view
};

} // namespace

TEST_F(CHMWebPageTest, ServesStyleSheetsAndImagesFromTheDocument)
{
    ASSERT_TRUE(load(QStringLiteral("styled.htm")));
    EXPECT_EQ(evaluate(QStringLiteral("getComputedStyle(document.querySelector('h1')).color")).toString(),
              QStringLiteral("rgb(255, 0, 0)"));
    EXPECT_EQ(evaluate(QStringLiteral("document.images[0].naturalWidth")).toInt(), 48);
}

TEST_F(CHMWebPageTest, AFailedLoadShowsNoErrorPage)
{
    EXPECT_FALSE(load(QStringLiteral("missing.htm")));
    EXPECT_EQ(evaluate(QStringLiteral("document.body ? document.body.innerText : ''")).toString(), QString());
}

TEST_F(CHMWebPageTest, AClickedWebOrMailLinkOfTheMainFrameGoesToTheDesktop)
{
    ASSERT_TRUE(load(QStringLiteral("links.htm")));
    const QList<QUrl> expected{QUrl(QStringLiteral("http://127.0.0.1:9/clicked.htm")),
                               QUrl(QStringLiteral("mailto:someone@example.invalid")),
                               QUrl(QStringLiteral("http://127.0.0.1:9/tab.htm"))};
    clickElement(QStringLiteral("web"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_desktop.opened().size() == 1; }, 30000));
    clickElement(QStringLiteral("mail"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_desktop.opened().size() == 2; }, 30000));
    // A link to a local file, and a web link inside a frame, are refused although clicked.
    clickElement(QStringLiteral("file"));
    clickInFrame(QStringLiteral("frame"));
    // A clicked link that asks for a new window.
    clickElement(QStringLiteral("tab"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_desktop.opened().size() == 3; }, 30000));
    EXPECT_EQ(m_desktop.opened(), expected);
    EXPECT_EQ(m_page->url(), m_document.composeURL(QStringLiteral("links.htm")));
}

TEST_F(CHMWebPageTest, NavigationsAndWindowsNoClickStartedGoNowhere)
{
    // leave.htm sets its location, scripted.htm clicks a link by script, opens a mail window and a
    // web window, and points a frame at a local file; all of it on loading, unasked.
    ASSERT_TRUE(load(QStringLiteral("leave.htm")));
    ASSERT_TRUE(load(QStringLiteral("scripted.htm")));
    // A load after them: had any of them gone anywhere, it would have shown by now.
    ASSERT_TRUE(load(QStringLiteral("styled.htm")));
    EXPECT_EQ(m_desktop.opened(), QList<QUrl>()) << m_desktop.opened().value(0).toString().toStdString();
    EXPECT_TRUE(ITSSScheme::isITSS(m_page->url()));
}

TEST_F(CHMWebPageTest, DuringAnExportALinkElsewhereLoadsNothingAndGoesNowhere)
{
    m_page->setExportMode(true);
    ASSERT_TRUE(load(QStringLiteral("leave.htm")));
    // A second load after the refused navigation: had it gone anywhere, this would show it.
    ASSERT_TRUE(load(QStringLiteral("styled.htm")));
    EXPECT_TRUE(m_desktop.opened().isEmpty());
    EXPECT_TRUE(ITSSScheme::isITSS(m_page->url()));
}

TEST_F(CHMWebPageTest, ThePagesFramesLackPeerConnectionsToo)
{
    ASSERT_TRUE(load(QStringLiteral("links.htm")));
    // Asked by a script of the page's own, which sees what the page's scripts see.
    const QString asked = QStringLiteral(
        "(() => { const s = document.createElement('script');"
        " s.textContent = \"document.body.setAttribute('data-peers', typeof RTCPeerConnection + ' '"
        " + typeof document.getElementById('frame').contentWindow.RTCPeerConnection)\";"
        " document.body.appendChild(s); return document.body.getAttribute('data-peers'); })()");
    EXPECT_EQ(evaluate(asked).toString(), QStringLiteral("undefined undefined"));
}

TEST_F(CHMWebPageTest, APageTryingEveryTransportReachesNoHost)
{
    // Listeners on the loopback address only: the page aims every transport at this one port.
    QTcpServer tcp;
    ASSERT_TRUE(tcp.listen(QHostAddress::LocalHost));
    QUdpSocket udp;
    ASSERT_TRUE(udp.bind(QHostAddress::LocalHost, tcp.serverPort()));
    ASSERT_TRUE(load(QStringLiteral("transports.htm#%1").arg(tcp.serverPort())));
    // The engine sends its first packets as each attempt starts; the page reports once every
    // attempt has failed, or has had seconds to send.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return evaluate(QStringLiteral("document.body.getAttribute('data-attempted') || 0")).toInt() > 0; }, 60000));
    // The page's own scripts had neither interface to begin with.
    EXPECT_EQ(evaluate(QStringLiteral("document.body.getAttribute('data-interfaces')")).toString(),
              QStringLiteral("undefined undefined"));
    // A load after them: had any transport been let through, it would have shown by now.
    ASSERT_TRUE(load(QStringLiteral("styled.htm")));
    QCoreApplication::processEvents();
    EXPECT_FALSE(tcp.waitForNewConnection(0)) << "a connection reached the local host";
    EXPECT_FALSE(udp.hasPendingDatagrams()) << "a datagram reached the local host";
}
