#include "chm/CHMDocument.h"
#include "chm/CHMWebPage.h"
#include "chm/CHMWebProfile.h"
#include "chm/ITSSScheme.h"
#include "platform/OffscreenWebPage.h"
#include "support/TestSupport.h"
#include "support/RecordingDesktop.h"

#include <QEventLoop>
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

TEST_F(CHMWebPageTest, OutsideAnExportALinkElsewhereGoesToTheDesktop)
{
    ASSERT_TRUE(load(QStringLiteral("leave.htm")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_desktop.opened().isEmpty(); }, 30000));
    EXPECT_EQ(m_desktop.opened().value(0), QUrl(QStringLiteral("http://127.0.0.1:9/elsewhere.htm")));
    EXPECT_EQ(evaluate(QStringLiteral("document.body.innerText.trim()")).toString(), QStringLiteral("Leaving"));
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
