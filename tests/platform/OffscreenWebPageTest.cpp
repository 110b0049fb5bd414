#include "support/PdfReadBack.h"
#include "platform/OffscreenWebPage.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QWebEngineView>
#include <QWindow>
#include <QPageLayout>
#include <QPageSize>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <gtest/gtest.h>

#include <vector>

using namespace std::chrono_literals;

void registerTestUrlSchemes()
{
    QWebEngineUrlScheme stall("stall");
    stall.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    QWebEngineUrlScheme::registerScheme(stall);
}

namespace {

// Answers no request: a load through it never finishes.
class StallingHandler : public QWebEngineUrlSchemeHandler {
public:
    void requestStarted(QWebEngineUrlRequestJob* job) override { m_jobs.push_back(job); }

private:
    std::vector<QWebEngineUrlRequestJob*> m_jobs; // owned by the engine
};

class OffscreenWebPageTest : public testing::Test {
protected:
    OffscreenWebPageTest()
    {
        m_profile.installUrlSchemeHandler("stall", &m_stalling);
    }

    std::unique_ptr<OffscreenWebPage> makePage(QSize size = QSize(720, 960))
    {
        return std::make_unique<OffscreenWebPage>(std::make_unique<QWebEnginePage>(&m_profile), size);
    }

    QUrl writePage(const QString& html)
    {
        const QString path = m_folder.filePath(QStringLiteral("page%1.html").arg(++m_pages));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(html.toUtf8());
        return QUrl::fromLocalFile(path);
    }

    static bool loadAndWait(OffscreenWebPage& page, const QUrl& url, std::chrono::milliseconds timeout = 30s)
    {
        QSignalSpy ended(&page, &OffscreenWebPage::loadEnded);
        page.load(url, timeout);
        EXPECT_TRUE(ended.wait(60000));
        EXPECT_EQ(ended.count(), 1);
        return ended.count() == 1 && ended.first().first().toBool();
    }

    static QByteArray printAndWait(OffscreenWebPage& page, const QPageLayout& layout,
                                   std::chrono::milliseconds timeout = 60s)
    {
        QByteArray result;
        bool done = false;
        QEventLoop loop;
        page.printToPdf(layout, timeout, [&](const QByteArray& bytes) {
            result = bytes;
            done = true;
            loop.quit();
        });
        if (!done)
            loop.exec();
        return result;
    }

    static QVariant runAndWait(OffscreenWebPage& page, const QString& source)
    {
        QVariant result;
        QEventLoop loop;
        page.runScript(source, 30s, [&](const std::optional<QVariant>& value) {
            result = value.value_or(QVariant());
            loop.quit();
        });
        loop.exec();
        return result;
    }

    QTemporaryDir m_folder;
    int m_pages = 0;
    StallingHandler m_stalling;
    QWebEngineProfile m_profile; // destroyed before the handler it uses
};

QPageLayout letter(QPageLayout::Orientation orientation, QMarginsF margins)
{
    return QPageLayout(QPageSize(QSizeF(612, 792), QPageSize::Point, QString(), QPageSize::ExactMatch), orientation,
                       margins, QPageLayout::Point);
}

} // namespace

TEST_F(OffscreenWebPageTest, PrintsALoadedPageWithinItsMargins)
{
    std::unique_ptr<OffscreenWebPage> page = makePage();
    ASSERT_TRUE(loadAndWait(*page, writePage(QStringLiteral("<html><body style='margin:0'>Margins here</body></html>"))));
    const QByteArray pdf = printAndWait(*page, letter(QPageLayout::Portrait, QMarginsF(50, 80, 30, 20)));
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    ASSERT_EQ(PdfReadBack::pageCount(pdf), 1);
    EXPECT_EQ(PdfReadBack::pageSize(pdf, 0).toSize(), QSize(612, 792));
    EXPECT_EQ(PdfReadBack::pageTexts(pdf).value(0), QStringLiteral("Margins here"));
    const QRectF text = PdfReadBack::textBounds(pdf, 0);
    EXPECT_NEAR(text.left(), 50, 3);
    EXPECT_NEAR(text.top(), 80, 6);
}

TEST_F(OffscreenWebPageTest, TheViewsWindowLiesBeyondEveryScreenAndTakesNoInput)
{
    // A window of the view left on a screen lies over the application's own windows, which then
    // seem to stand still.
    std::unique_ptr<OffscreenWebPage> page = makePage();
    ASSERT_TRUE(loadAndWait(*page, writePage(QStringLiteral("<p>Hidden</p>"))));
    const QWindow* window = page->view().windowHandle();
    ASSERT_NE(window, nullptr);
    for (const QScreen* screen : QGuiApplication::screens())
        EXPECT_FALSE(screen->virtualGeometry().intersects(window->geometry()));
    EXPECT_TRUE(window->flags().testFlags(Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus
                                          | Qt::X11BypassWindowManagerHint));
    EXPECT_EQ(window->size(), QSize(720, 960));
}

TEST_F(OffscreenWebPageTest, ALandscapeLayoutPrintsLandscapePages)
{
    std::unique_ptr<OffscreenWebPage> page = makePage(QSize(1008, 720));
    ASSERT_TRUE(loadAndWait(*page, writePage(QStringLiteral("<p>Wide</p>"))));
    const QByteArray pdf = printAndWait(*page, letter(QPageLayout::Landscape, QMarginsF(36, 36, 36, 36)));
    ASSERT_EQ(PdfReadBack::pageCount(pdf), 1);
    EXPECT_EQ(PdfReadBack::pageSize(pdf, 0).toSize(), QSize(792, 612));
}

TEST_F(OffscreenWebPageTest, ALoadThatNeverFinishesIsGivenUp)
{
    std::unique_ptr<OffscreenWebPage> page = makePage();
    EXPECT_FALSE(loadAndWait(*page, QUrl(QStringLiteral("stall://host/page.htm")), 1s));
    // The page stays usable for the next load.
    EXPECT_TRUE(loadAndWait(*page, writePage(QStringLiteral("<p>next</p>"))));
}

TEST_F(OffscreenWebPageTest, AMissingPageEndsAsAFailedLoad)
{
    std::unique_ptr<OffscreenWebPage> page = makePage();
    EXPECT_FALSE(loadAndWait(*page, QUrl::fromLocalFile(m_folder.filePath(QStringLiteral("missing.html")))));
}

TEST_F(OffscreenWebPageTest, ScriptsRunAgainstTheLoadedDocument)
{
    std::unique_ptr<OffscreenWebPage> page = makePage(QSize(500, 400));
    ASSERT_TRUE(loadAndWait(*page, writePage(QStringLiteral("<p id='x'>hello</p>"))));
    const QVariant result = runAndWait(*page, QStringLiteral("[document.getElementById('x').textContent, window.innerWidth]"));
    EXPECT_EQ(result.toList().value(0).toString(), QStringLiteral("hello"));
    EXPECT_EQ(result.toList().value(1).toInt(), 500);
}

TEST_F(OffscreenWebPageTest, APageScriptThatNeverYieldsCannotHoldThePrintAndTheNextPageRunsItsScripts)
{
    // Held prints were given up after their time bound, and letting go of the page then ended the
    // whole process.
    std::unique_ptr<OffscreenWebPage> page = makePage();
    ASSERT_TRUE(loadAndWait(*page, writePage(QStringLiteral(
                                       "<p>Printed all the same</p><script>addEventListener('beforeprint', () => { for (;;) {} });</script>"))));
    const QByteArray pdf = printAndWait(*page, letter(QPageLayout::Portrait, QMarginsF(36, 36, 36, 36)), 20s);
    EXPECT_EQ(PdfReadBack::pageTexts(pdf).value(0), QStringLiteral("Printed all the same"));

    ASSERT_TRUE(loadAndWait(*page, writePage(QStringLiteral(
                                       "<p id='x'>not run</p><script>document.getElementById('x').textContent = 'ran';</script>"))));
    EXPECT_EQ(runAndWait(*page, QStringLiteral("document.getElementById('x').textContent")).toString(), QStringLiteral("ran"));
}

TEST(OffscreenWebPageUrls, SameDocumentIgnoresTheFragmentAndEscapes)
{
    EXPECT_TRUE(OffscreenWebPage::sameDocument(QUrl("itss://chm/a%20b.htm#x"), QUrl("itss://chm/a b.htm")));
    EXPECT_FALSE(OffscreenWebPage::sameDocument(QUrl("itss://chm/a.htm"), QUrl("itss://chm/b.htm")));
}
