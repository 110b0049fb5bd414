#include "chm/CHMDocument.h"
#include "chm/CHMWebPage.h"
#include "chm/CHMWebRequestInterceptor.h"
#include "chm/ITSSProtocol.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

class ITSSProtocolTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("export-basic"))),
                                           QStringLiteral("CHM")));
    }
    ITSSProtocol::Response get(const char* url) const { return m_protocol.responseFor(QUrl(QString::fromUtf8(url))); }

    CHMDocument m_document;
    ITSSProtocol m_protocol{m_document};
};

} // namespace

TEST_F(ITSSProtocolTest, ServesPagesAsHtmlInTheDocumentsCodePage)
{
    const ITSSProtocol::Response page = get("itss://chm/intro.htm#section");
    ASSERT_TRUE(page.found);
    EXPECT_TRUE(page.data.contains("Intro topic ALPHA"));
    EXPECT_EQ(page.mimeType, QByteArray("text/html; charset=windows-1252"));
    EXPECT_EQ(get("itss://chm/intro.html?query=1").mimeType, QByteArray("text/html; charset=windows-1252"));
}

TEST_F(ITSSProtocolTest, ServesOtherObjectsWithATypeTheEngineShows)
{
    const ITSSProtocol::Response image = get("itss://chm/img/logo.png");
    ASSERT_TRUE(image.found);
    EXPECT_TRUE(image.data.startsWith("\x89PNG"));
    EXPECT_EQ(image.mimeType, QByteArray("image/png"));
    EXPECT_EQ(get("itss://chm/style.css").mimeType, QByteArray("text/css; charset=windows-1252"));
}

TEST_F(ITSSProtocolTest, APageLoadedAfterTheEncodingChangedIsAnnouncedWithTheNewOne)
{
    m_document.setEncodingName(QStringLiteral("CP1251"));
    EXPECT_EQ(get("itss://chm/home.htm").mimeType, QByteArray("text/html; charset=windows-1251"));
    m_document.setEncodingName(QString());
    EXPECT_EQ(get("itss://chm/home.htm").mimeType, QByteArray("text/html"));
}

TEST_F(ITSSProtocolTest, MissingObjectsAndOtherSchemesAreNotServed)
{
    EXPECT_FALSE(get("itss://chm/missing.htm").found);
    EXPECT_FALSE(get("http://chm/intro.htm").found);
}

TEST(ITSSProtocolPaths, DecodesEscapesOnceAndKeepsParameters)
{
    EXPECT_EQ(ITSSProtocol::objectPath(QUrl(QStringLiteral("itss://chm/dir/page.htm#sec"))), QStringLiteral("/dir/page.htm"));
    EXPECT_EQ(ITSSProtocol::objectPath(QUrl(QStringLiteral("itss://chm/a%2520b.htm"))), QStringLiteral("/a%20b.htm"));
    EXPECT_EQ(ITSSProtocol::objectPath(QUrl(QStringLiteral("itss://chm/page.htm;param"))), QStringLiteral("/page.htm;param"));
}

TEST(ITSSProtocolPaths, ADoublyEscapedNameIsServedWhenOnlyItsUnescapedFormExists)
{
    CHMDocument document;
    ASSERT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("chm-basic"))), QStringLiteral("CHM")));
    const ITSSProtocol protocol(document);
    EXPECT_TRUE(protocol.responseFor(QUrl(QStringLiteral("itss://chm/a%2520b.htm"))).found);
    EXPECT_TRUE(protocol.responseFor(QUrl(QStringLiteral("itss://chm/a%20b.htm"))).found);
}

TEST(CHMWebPolicy, DuringAnExportNothingLeavesTheFileAndTheTopicStays)
{
    using D = CHMWebPage::Decision;
    constexpr auto clicked = QWebEnginePage::NavigationTypeLinkClicked;
    const QUrl topic(QStringLiteral("itss://chm/a.htm"));
    EXPECT_EQ(CHMWebPage::decide(true, topic, QWebEnginePage::NavigationTypeTyped, true, topic), D::Load);
    EXPECT_EQ(CHMWebPage::decide(true, QUrl(QStringLiteral("itss://chm/a.htm#x")), clicked, true, topic), D::Load);
    EXPECT_EQ(CHMWebPage::decide(true, QUrl(QStringLiteral("itss://chm/b.htm")), clicked, true, topic), D::Refuse);
    EXPECT_EQ(CHMWebPage::decide(true, QUrl(QStringLiteral("itss://chm/frame.htm")), clicked, false, topic), D::Load);
    EXPECT_EQ(CHMWebPage::decide(true, QUrl(QStringLiteral("http://example.com/")), clicked, true, topic), D::Refuse);
    EXPECT_EQ(CHMWebPage::decide(true, QUrl(QStringLiteral("mailto:a@b.c")), clicked, true, topic), D::Refuse);
    EXPECT_EQ(CHMWebPage::decide(true, QUrl(QStringLiteral("about:blank")), clicked, false, topic), D::Load);
    EXPECT_EQ(CHMWebPage::decideNewWindow(true, QUrl(QStringLiteral("http://example.com/")), true), D::Refuse);
    EXPECT_EQ(CHMWebPage::decideNewWindow(true, topic, true), D::Refuse);
}

TEST(CHMWebPolicy, OutsideAnExportOnlyClickedWebAndMailLinksOfTheMainFrameGoToTheDesktop)
{
    using D = CHMWebPage::Decision;
    using P = QWebEnginePage;
    const auto decide = [](const char* url, P::NavigationType type, bool mainFrame) {
        return CHMWebPage::decide(false, QUrl(QString::fromLatin1(url)), type, mainFrame, QUrl());
    };
    EXPECT_EQ(decide("itss://chm/b.htm", P::NavigationTypeLinkClicked, true), D::Load);
    EXPECT_EQ(decide("itss://chm/b.htm", P::NavigationTypeRedirect, false), D::Load);
    for (const char* url : {"http://example.com/", "https://example.com/a?b#c", "mailto:a@b.c"})
        EXPECT_EQ(decide(url, P::NavigationTypeLinkClicked, true), D::HandToDesktop) << url;
    // Other schemes, sub-frames, and navigations no click started.
    for (const char* url : {"file:///etc/passwd", "ftp://host/x", "javascript:alert(1)", "smb://host/share",
                            "tel:123", "x-scheme-handler:run"})
        EXPECT_EQ(decide(url, P::NavigationTypeLinkClicked, true), D::Refuse) << url;
    EXPECT_EQ(decide("file:///etc/passwd", P::NavigationTypeLinkClicked, false), D::Refuse);
    EXPECT_EQ(decide("http://example.com/", P::NavigationTypeLinkClicked, false), D::Refuse);
    for (const P::NavigationType type : {P::NavigationTypeTyped, P::NavigationTypeFormSubmitted, P::NavigationTypeBackForward,
                                         P::NavigationTypeReload, P::NavigationTypeOther, P::NavigationTypeRedirect})
        EXPECT_EQ(decide("https://example.com/", type, true), D::Refuse) << type;
    // Windows: topics open a tab; web and mail pages only when the user asked.
    EXPECT_EQ(CHMWebPage::decideNewWindow(false, QUrl(QStringLiteral("itss://chm/b.htm")), false), D::OpenTab);
    EXPECT_EQ(CHMWebPage::decideNewWindow(false, QUrl(QStringLiteral("https://example.com/")), true), D::HandToDesktop);
    EXPECT_EQ(CHMWebPage::decideNewWindow(false, QUrl(QStringLiteral("https://example.com/")), false), D::Refuse);
    EXPECT_EQ(CHMWebPage::decideNewWindow(false, QUrl(QStringLiteral("file:///etc/passwd")), true), D::Refuse);
}

TEST(CHMWebPolicy, SubresourcesOfOtherSchemesAreBlocked)
{
    EXPECT_TRUE(CHMWebRequestInterceptor::isAllowed(QUrl(QStringLiteral("itss://chm/img/logo.png"))));
    EXPECT_TRUE(CHMWebRequestInterceptor::isAllowed(QUrl(QStringLiteral("data:image/png;base64,AAAA"))));
    EXPECT_FALSE(CHMWebRequestInterceptor::isAllowed(QUrl(QStringLiteral("http://127.0.0.1/x.png"))));
    EXPECT_FALSE(CHMWebRequestInterceptor::isAllowed(QUrl(QStringLiteral("file:///etc/passwd"))));
    EXPECT_FALSE(CHMWebRequestInterceptor::isAllowed(QUrl(QStringLiteral("ftp://host/x"))));
}
