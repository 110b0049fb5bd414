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
    const QUrl topic(QStringLiteral("itss://chm/a.htm"));
    EXPECT_EQ(CHMWebPage::decide(true, topic, true, topic), D::Load);
    EXPECT_EQ(CHMWebPage::decide(true, QUrl(QStringLiteral("itss://chm/a.htm#x")), true, topic), D::Load);
    EXPECT_EQ(CHMWebPage::decide(true, QUrl(QStringLiteral("itss://chm/b.htm")), true, topic), D::Refuse);
    EXPECT_EQ(CHMWebPage::decide(true, QUrl(QStringLiteral("itss://chm/frame.htm")), false, topic), D::Load);
    EXPECT_EQ(CHMWebPage::decide(true, QUrl(QStringLiteral("http://example.com/")), false, topic), D::Refuse);
    EXPECT_EQ(CHMWebPage::decide(true, QUrl(QStringLiteral("mailto:a@b.c")), true, topic), D::Refuse);
    EXPECT_EQ(CHMWebPage::decide(true, QUrl(QStringLiteral("about:blank")), false, topic), D::Load);
}

TEST(CHMWebPolicy, OutsideAnExportOtherSchemesGoToTheDesktop)
{
    using D = CHMWebPage::Decision;
    EXPECT_EQ(CHMWebPage::decide(false, QUrl(QStringLiteral("itss://chm/b.htm")), true, QUrl()), D::Load);
    EXPECT_EQ(CHMWebPage::decide(false, QUrl(QStringLiteral("https://example.com/")), true, QUrl()), D::HandToDesktop);
    EXPECT_EQ(CHMWebPage::decide(false, QUrl(QStringLiteral("file:///etc/passwd")), false, QUrl()), D::HandToDesktop);
}

TEST(CHMWebPolicy, SubresourcesOfOtherSchemesAreBlocked)
{
    EXPECT_TRUE(CHMWebRequestInterceptor::isAllowed(QUrl(QStringLiteral("itss://chm/img/logo.png"))));
    EXPECT_TRUE(CHMWebRequestInterceptor::isAllowed(QUrl(QStringLiteral("data:image/png;base64,AAAA"))));
    EXPECT_FALSE(CHMWebRequestInterceptor::isAllowed(QUrl(QStringLiteral("http://127.0.0.1/x.png"))));
    EXPECT_FALSE(CHMWebRequestInterceptor::isAllowed(QUrl(QStringLiteral("file:///etc/passwd"))));
    EXPECT_FALSE(CHMWebRequestInterceptor::isAllowed(QUrl(QStringLiteral("ftp://host/x"))));
}
