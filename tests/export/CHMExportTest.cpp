#include "ExportTestSupport.h"
#include "support/PdfReadBack.h"
#include "common/TomefoldConversionOptions.h"
#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "chm/ITSSScheme.h"
#include "export/PDFExportProvider.h"
#include "export/CHMExporter.h"
#include "platform/TextEncoding.h"
#include "support/HangGuard.h"
#include "support/TestSupport.h"
#include "support/StubProgressDelegate.h"
#include "support/RecordingDesktop.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

void registerTestUrlSchemes()
{
    registerITSSScheme();
}

namespace {

class CHMExport : public testing::Test {
protected:
    // An export that never ends (a topic whose script runs for ever and is not given up, a lock
    // never opened) fails the program well before ctest's limit; a topic is given up after 20 s.
    void SetUp() override { m_hangGuard = std::make_unique<HangGuard>(std::chrono::seconds(90), "the export"); }

    // A page of a CHM file must never get anything handed to the desktop.
    void TearDown() override
    {
        EXPECT_TRUE(m_desktop.opened().isEmpty()) << m_desktop.opened().value(0).toString().toStdString();
    }

    QString outputPath(const QString& name) const { return m_folder.filePath(name + QStringLiteral(".pdf")); }

    // Exports the fixture as the batch does: from a worker thread, while the main thread serves.
    QByteArray exportFixture(const QString& fixture, TomefoldConversionOptions options, bool onMainThread = false)
    {
        CHMDocument document;
        document.setExportProvider(&PDFExportProvider());
        EXPECT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(fixture)), QStringLiteral("CHM")));
        const QUrl target = QUrl::fromLocalFile(outputPath(fixture));
        if (onMainThread) {
            document.exportToPDF(target, &options);
        } else {
            exportFromWorker(document, target, options);
        }
        QFile file(target.toLocalFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    RecordingDesktop m_desktop;
    QTemporaryDir m_folder;
    std::unique_ptr<HangGuard> m_hangGuard;
};

} // namespace

TEST_F(CHMExport, PrintsEveryTopicInOrderSkippingMissingAndBlankPages)
{
    const QByteArray pdf = exportFixture(QStringLiteral("export-basic"), letterOptions());
    ASSERT_FALSE(pdf.isEmpty());
    // Home first, the contents in order (the missing topic adds nothing, the blank middle page of
    // "pages" is dropped), then the unlisted pages; the page that tries to leave stays itself.
    EXPECT_EQ(PdfReadBack::pageTexts(pdf),
              QStringList({"Home topic HOTEL", "Intro topic ALPHA See the chapter.", "Chapter topic BRAVO Back",
                           "Pages first CHARLIE", "Pages last DELTA", "Runaway stays ECHO", "Extra unlisted GOLF",
                           "Intro html FOXTROT"}));
    for (int page = 0; page < PdfReadBack::pageCount(pdf); ++page)
        EXPECT_EQ(PdfReadBack::pageSize(pdf, page).toSize(), QSize(612, 792));
}

TEST_F(CHMExport, ATopicWhoseScriptNeverEndsIsGivenUpAndTheExportGoesOn)
{
    // The page's script holds its renderer for ever: the load is given up after its time bound
    // and the next topic gets a fresh view.
    const QByteArray pdf = exportFixture(QStringLiteral("export-hang"), letterOptions());
    EXPECT_EQ(PdfReadBack::pageTexts(pdf), QStringList({"Before the hang", "After the hang"}));
}

TEST_F(CHMExport, ATopicThatLoadsButCannotBePrintedIsCountedAndTheExportGoesOn)
{
    // The topic loads, then its script holds the page for ever: its print is given up.
    CHMDocument document;
    document.setExportProvider(&PDFExportProvider());
    ASSERT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("export-unprintable"))),
                                     QStringLiteral("CHM")));
    const QUrl target = QUrl::fromLocalFile(outputPath(QStringLiteral("export-unprintable")));
    TomefoldConversionOptions options = letterOptions();
    const ExportReport report = exportFromWorker(document, target, options);
    EXPECT_EQ(report.unprintedTopics, 1);
    QFile file(target.toLocalFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(PdfReadBack::pageTexts(file.readAll()), QStringList({"Printed before", "Printed after"}));
}

TEST_F(CHMExport, ServesImagesAndStyleSheetsToThePages)
{
    const QByteArray pdf = exportFixture(QStringLiteral("export-basic"), letterOptions());
    ASSERT_GE(PdfReadBack::pageCount(pdf), 2);
    EXPECT_GT(PdfReadBack::pixelsOfColour(pdf, 1, 0, 0, 255), 100); // the blue logo, 96 px square
    EXPECT_GT(PdfReadBack::pixelsOfColour(pdf, 1, 255, 0, 0), 10);  // the heading the style sheet paints red
    EXPECT_EQ(PdfReadBack::pixelsOfColour(pdf, 0, 0, 0, 255), 0);
}

TEST_F(CHMExport, AnnouncesTheDocumentsCodePageToTheEngine)
{
    const QByteArray pdf = exportFixture(QStringLiteral("export-encoding"), letterOptions());
    EXPECT_EQ(PdfReadBack::pageTexts(pdf), QStringList({QStringLiteral("Привет из кодовой страницы")}));
}

TEST_F(CHMExport, PagesThatDeclareTheirEncodingPrintInItAndOthersInTheCodePage)
{
    const QByteArray pdf = exportFixture(QStringLiteral("export-page-encodings"), letterOptions());
    EXPECT_EQ(PdfReadBack::pageTexts(pdf),
              QStringList({QStringLiteral("Meta \u00a9 B\u00e9zier (\u2026)"),
                           QStringLiteral("Equiv \u00a9 B\u00e9zier stra\u00dfe"),
                           QStringLiteral("Bom \u00a9 B\u00e9zier \u00bd"),
                           QStringLiteral("Codepage \u00a9 B\u00e9zier \u2026")}));
}

TEST_F(CHMExport, AnEncodingTheUserChoseAppliesToEveryPageButOneWithAByteOrderMark)
{
    TomefoldConversionOptions options = letterOptions();
    options.encodingName = QStringLiteral("CP1251");
    const QByteArray pdf = exportFixture(QStringLiteral("export-page-encodings"), options);
    // The bytes of each page read as windows-1251, declarations notwithstanding; a UTF-8 page with
    // a byte-order mark stays UTF-8, as in every browser.
    const auto asCP1251 = [](const QString& text) {
        return TextEncoding::decodeStrict(text.toUtf8(), QStringLiteral("CP1251")).value_or(QString());
    };
    EXPECT_EQ(PdfReadBack::pageTexts(pdf),
              QStringList({asCP1251(QStringLiteral("Meta \u00a9 B\u00e9zier (\u2026)")),
                           asCP1251(QStringLiteral("Equiv \u00a9 B\u00e9zier stra\u00dfe")),
                           QStringLiteral("Bom \u00a9 B\u00e9zier \u00bd"),
                           QStringLiteral("Codepage \u00a9 B\u0439zier \u2026")}));
}

TEST_F(CHMExport, AnXHTMLTopicWithAnEmptyTitlePrintsItsText)
{
    const QByteArray pdf = exportFixture(QStringLiteral("export-xhtml"), letterOptions());
    EXPECT_EQ(PdfReadBack::pageTexts(pdf),
              QStringList({QStringLiteral("Home of the reference Namespaces and types, listed here."),
                           QStringLiteral("Member page First line second line with a caf\u00e9 in it.")}));
}

TEST_F(CHMExport, ServesThePagesInTheEncodingTheOptionsChose)
{
    // The page is CP1251; a Western encoding chosen for the export reads the same bytes as
    // accented Latin letters, which is what the engine must be told.
    TomefoldConversionOptions options = letterOptions();
    options.encodingName = QStringLiteral("CP1252");
    const QByteArray pdf = exportFixture(QStringLiteral("export-encoding"), options);
    EXPECT_EQ(PdfReadBack::pageTexts(pdf), QStringList({QStringLiteral("Ïðèâåò èç êîäîâîé ñòðàíèöû")}));
}

TEST_F(CHMExport, PrintsFramesWithAllTheirContent)
{
    const QByteArray pdf = exportFixture(QStringLiteral("export-frames"), letterOptions());
    const QString text = PdfReadBack::pageTexts(pdf).join(QLatin1Char(' '));
    QStringList missing;
    for (int line = 1; line <= 60; ++line)
        if (!text.contains(QStringLiteral("Left line %1 ").arg(line)))
            missing << QStringLiteral("Left %1").arg(line);
    for (int line = 1; line <= 90; ++line)
        if (!text.contains(QStringLiteral("Right line %1 ").arg(line)))
            missing << QStringLiteral("Right %1").arg(line);
    for (int line = 1; line <= 150; ++line)
        if (!text.contains(QStringLiteral("Long line %1 ").arg(line)))
            missing << QStringLiteral("Long %1").arg(line);
    EXPECT_TRUE(missing.isEmpty()) << missing.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Before the frame")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("After the frame")));
    EXPECT_LT(text.indexOf(QStringLiteral("Left line 60 ")), text.indexOf(QStringLiteral("Right line 1 ")));
}

TEST_F(CHMExport, ScalesTopicsWiderThanThePageToFitIt)
{
    const QByteArray pdf = exportFixture(QStringLiteral("export-wide"), letterOptions());
    ASSERT_EQ(PdfReadBack::pageCount(pdf), 1);
    const QString text = PdfReadBack::pageTexts(pdf).value(0);
    EXPECT_TRUE(text.contains(QStringLiteral("Row3 Column1")));
    EXPECT_TRUE(text.contains(QStringLiteral("Column10")));
    EXPECT_TRUE(text.contains(QStringLiteral("ENDOFCODE")));
    const QRectF bounds = PdfReadBack::textBounds(pdf, 0);
    EXPECT_GE(bounds.left(), 36 - 1);
    EXPECT_LE(bounds.right(), 612 - 36 + 1);
}

namespace {

// The words a reader of a topic's source sees: its text without tags, as whitespace cuts it.
QStringList SourceWords(const QString& topicPath)
{
    QFile file(topicPath);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << topicPath.toStdString();
    QString html = QString::fromUtf8(file.readAll());
    html.remove(QRegularExpression(QStringLiteral("<(head|style|script)[^>]*>.*?</\\1>"),
                                   QRegularExpression::DotMatchesEverythingOption | QRegularExpression::CaseInsensitiveOption));
    html.replace(QRegularExpression(QStringLiteral("<[^>]*>")), QStringLiteral(" "));
    return html.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

} // namespace

TEST_F(CHMExport, WideTopicsPrintWholeWithinThePrintableBoxAndStayReadable)
{
    const QByteArray pdf = exportFixture(QStringLiteral("export-overflow"), a4WindowOptions());
    const int pages = PdfReadBack::pageCount(pdf);
    ASSERT_GE(pages, 4);

    // Words broken at a line's end by the wrapping are found again once the spaces are gone.
    QString printed;
    QStringList outside;
    std::vector<double> readableHeights;
    const QRectF printable(QPointF(77.1 - 1, 77.1 - 1), QPointF(595.3 - 77.1 + 1, 841.9 - 77.1 + 1));
    for (int page = 0; page < pages; ++page) {
        for (const PdfReadBack::Word& word : PdfReadBack::words(pdf, page)) {
            printed += word.text;
            if (!printable.contains(word.box))
                outside << QStringLiteral("%1 on page %2 at %3..%4").arg(word.text).arg(page + 1).arg(word.box.left()).arg(word.box.right());
            if (word.text.startsWith(QStringLiteral("fixedword")) || word.text.startsWith(QStringLiteral("CodeTopic"))
                || word.text.startsWith(QStringLiteral("nowrapword")))
                readableHeights.push_back(word.box.height());
        }
    }
    EXPECT_TRUE(outside.isEmpty()) << outside.join(QLatin1Char('\n')).toStdString();
    for (const char* topic : {"table.htm", "code.htm", "fixed.htm", "image.htm", "members.htm", "listing.htm"}) {
        QStringList missing;
        for (const QString& word : SourceWords(TestSupport::sourceDataPath(QStringLiteral("export-overflow/") + topic)))
            if (!printed.contains(word))
                missing << word;
        EXPECT_TRUE(missing.isEmpty()) << topic << ": " << missing.join(QLatin1Char(' ')).toStdString();
    }
    // Lines that can wrap are wrapped, not shrunk: their text keeps the size of body text (12 pt).
    ASSERT_FALSE(readableHeights.empty());
    for (const double height : readableHeights)
        EXPECT_GT(height, 10.0);
}

TEST_F(CHMExport, AMemberListTooWideForThePageWrapsBetweenWordsNotLetters)
{
    // A generated member list whose cells never wrap, wider than A4 with 27.2 mm margins: given room
    // to break anywhere, the engine squeezed its class and label columns to a letter a line.
    const QByteArray pdf = exportFixture(QStringLiteral("export-overflow"), a4WindowOptions());
    QStringList words;
    for (int page = 0; page < PdfReadBack::pageCount(pdf); ++page)
        for (const PdfReadBack::Word& word : PdfReadBack::words(pdf, page))
            words << word.text;
    const int start = words.indexOf(QStringLiteral("MembersTopicStart,"));
    ASSERT_GE(start, 0) << words.join(QLatin1Char(' ')).toStdString();
    const QStringList list = words.mid(start);
    for (const char* whole : {"Quill::InkBrush", "Quill::InkOutlineBrush", "inline", "static", "explicit", "protected"})
        EXPECT_TRUE(list.contains(QLatin1String(whole))) << whole << " in " << list.join(QLatin1Char(' ')).toStdString();
}

TEST_F(CHMExport, AFixedBarOfALongModernTopicPrintsOnceAndHidesNoText)
{
    // A documentation page in its narrow-screen layout at A4 (27.2 mm margins): a fixed top bar
    // holding an off-screen drawer, above several pages of text and code.
    const QByteArray pdf = exportFixture(QStringLiteral("export-modern"), a4WindowOptions());
    const int pages = PdfReadBack::pageCount(pdf);
    ASSERT_GE(pages, 5);
    // The paper exactly as asked, not as the engine rounds it (594.96 x 841.92).
    for (int page = 0; page < pages; ++page) {
        EXPECT_NEAR(PdfReadBack::pageSize(pdf, page).width(), 595.28, 0.005);
        EXPECT_NEAR(PdfReadBack::pageSize(pdf, page).height(), 841.89, 0.005);
    }
    const QString text = PdfReadBack::pageTexts(pdf).join(QLatin1Char(' '));
    EXPECT_EQ(text.count(QStringLiteral("BARWORD")), 1);
    EXPECT_FALSE(text.contains(QStringLiteral("DRAWERWORD")));
    EXPECT_TRUE(text.contains(QStringLiteral("ENDOFTOPIC")));
    // No word lies over another: the bar took a place of its own.
    for (int page = 0; page < pages; ++page) {
        const std::vector<PdfReadBack::Word> words = PdfReadBack::words(pdf, page);
        for (std::size_t a = 0; a < words.size(); ++a)
            for (std::size_t b = a + 1; b < words.size(); ++b)
                EXPECT_FALSE(words[a].box.adjusted(1, 1, -1, -1).intersects(words[b].box.adjusted(1, 1, -1, -1)))
                    << words[a].text.toStdString() << " over " << words[b].text.toStdString() << " on page " << page + 1;
    }
}

TEST_F(CHMExport, WhatANoscriptBlockHoldsPrintsAsThePageShowsItWithScriptsOn)
{
    // The page's scripts are stopped for the print; its <noscript> text must not come out as markup.
    const QByteArray pdf = exportFixture(QStringLiteral("export-sidebar"), a4WindowOptions());
    const QString text = PdfReadBack::pageTexts(pdf).join(QLatin1Char(' '));
    ASSERT_TRUE(text.contains(QStringLiteral("Clockwork guide")));
    EXPECT_FALSE(text.contains(QStringLiteral("Turn on scripts")));
    EXPECT_FALSE(text.contains(QStringLiteral("<div")));
}

TEST_F(CHMExport, ListingsThatClipTheirLinesKeepTheirEndsWhenThePrintNarrowsTheirColumn)
{
    // The page's own print rules narrow its text column: listings there that hide what overflows
    // them, and fit the screen's wider column, must print their long names whole.
    const QByteArray pdf = exportFixture(QStringLiteral("export-sidebar"), a4WindowOptions());
    const QString text = PdfReadBack::pageTexts(pdf).join(QString()).remove(QRegularExpression(QStringLiteral("\\s")));
    for (const char* end : {"ArborOutwardsEnd01)", "ThroughTheTrainEnd02)", "SpringStopsEnd03)"})
        EXPECT_TRUE(text.contains(QLatin1String(end))) << end;
}

TEST_F(CHMExport, APagePushedAsideByAMenuOnANarrowScreenPrintsItsText)
{
    // At the window's default paper the view is as narrow as a phone's screen, where an open menu
    // slides the page aside; the page's print rules put it back, and its text prints.
    const QByteArray pdf = exportFixture(QStringLiteral("export-sidebar"), a4WindowOptions());
    const QString text = PdfReadBack::pageTexts(pdf).join(QLatin1Char(' '));
    EXPECT_TRUE(text.contains(QStringLiteral("SlideStart")));
    EXPECT_TRUE(text.contains(QStringLiteral("SlideEnd")));
}

TEST_F(CHMExport, PrintsLandscapePagesWithTheMarginsAsked)
{
    TomefoldConversionOptions options = letterOptions();
    options.pageWidth = 595;
    options.pageHeight = 842;
    options.leftMargin = 50;
    options.topMargin = 70;
    options.rightMargin = 30;
    options.bottomMargin = 40;
    options.orientation = kTomefoldLandscapeOrientation;
    // Called on the main thread, the export keeps the event loop running until it has ended.
    const QByteArray pdf = exportFixture(QStringLiteral("export-five"), options, true);
    ASSERT_EQ(PdfReadBack::pageCount(pdf), 5);
    EXPECT_EQ(PdfReadBack::pageTexts(pdf),
              QStringList({"Topic one text", "Topic two text", "Topic three text", "Topic four text", "Topic five text"}));
    for (int page = 0; page < 5; ++page) {
        EXPECT_EQ(PdfReadBack::pageSize(pdf, page), QSizeF(842, 595));
        const QRectF text = PdfReadBack::textBounds(pdf, page);
        EXPECT_NEAR(text.left(), 50, 2);
        EXPECT_NEAR(text.top(), 70, 6);
    }
}

TEST_F(CHMExport, TheFieldsTypedInTheWindowBecomeTheDocumentsInformation)
{
    TomefoldConversionOptions options = letterOptions();
    options.title = QStringLiteral("  Five Topics  ");
    options.author = QStringLiteral("Anna Writer");
    options.keywords = QStringLiteral("five, topics");
    const QByteArray pdf = exportFixture(QStringLiteral("export-five"), options);
    ASSERT_EQ(PdfReadBack::pageCount(pdf), 5);
    EXPECT_EQ(PdfReadBack::infoEntry(pdf, "Title"), QStringLiteral("Five Topics"));
    EXPECT_EQ(PdfReadBack::infoEntry(pdf, "Author"), QStringLiteral("Anna Writer"));
    EXPECT_TRUE(PdfReadBack::infoEntry(pdf, "Subject").isNull());
    EXPECT_EQ(PdfReadBack::infoEntry(pdf, "Keywords"), QStringLiteral("five, topics"));
    EXPECT_EQ(PdfReadBack::infoEntry(pdf, "Producer"), QStringLiteral("Tomefold"));
    const QByteArray xmp = PdfReadBack::xmpMetadata(pdf);
    EXPECT_TRUE(xmp.contains("<rdf:li xml:lang=\"x-default\">Five Topics</rdf:li>"));
    EXPECT_TRUE(xmp.contains("<pdf:Producer>Tomefold</pdf:Producer>"));
}

TEST_F(CHMExport, CancelDuringTheThirdTopicWritesNothing)
{
    {
        QFile earlier(outputPath(QStringLiteral("export-five")));
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    CancellingDelegate delegate(3);
    TomefoldConversionOptions options = letterOptions();
    options.progressCallback.object = &delegate;
    const QByteArray written = exportFixture(QStringLiteral("export-five"), options);
    EXPECT_EQ(written, QByteArray("earlier"));
    EXPECT_EQ(delegate.asked(), 3);
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"export-five.pdf"}));
}

TEST_F(CHMExport, AnExportOfNoPagesWritesNothingAndSaysSo)
{
    const QString target = outputPath(QStringLiteral("nothing"));
    {
        QFile earlier(target);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    CHMDocument unopened; // every topic fails to load
    CHMExporter exporter(unopened, QUrl::fromLocalFile(target),
                         {std::make_shared<LinkItem>(QStringLiteral("Gone"), QStringLiteral("gone.htm"))}, nullptr);
    exporter.initConditionalLock();
    exporter.exportToPDF();
    exporter.lockWhenCondition();
    exporter.releaseLock();
    EXPECT_EQ(exporter.outcome(), CHMExporter::Outcome::NothingToWrite);
    EXPECT_EQ(exporter.statistics().topics, 1);
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("earlier"));
}

TEST_F(CHMExport, AnExportWhosePagesAllPrintBlankWritesNothing)
{
    // Every topic prints, but only blank pages: there is nothing to write, and an earlier file
    // at the destination is no reason to write a document of no pages over it.
    const QString target = outputPath(QStringLiteral("export-blank"));
    {
        QFile earlier(target);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    CHMDocument document;
    ASSERT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("export-blank"))),
                                     QStringLiteral("CHM")));
    ASSERT_NE(document.tocSource(), nullptr);
    TomefoldConversionOptions options = letterOptions();
    CHMExporter exporter(document, QUrl::fromLocalFile(target), document.tocSource()->pageList(), &options);
    exporter.initConditionalLock();
    exporter.exportToPDF();
    exporter.lockWhenCondition();
    exporter.releaseLock();
    EXPECT_EQ(exporter.statistics().topics, 2);
    EXPECT_EQ(exporter.pageCount(), 0);
    EXPECT_EQ(exporter.outcome(), CHMExporter::Outcome::NothingToWrite);
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("earlier"));
}

TEST_F(CHMExport, ReportsProgressPerTopicAndEndsSaving)
{
    CHMDocument document;
    ASSERT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("export-five"))),
                                     QStringLiteral("CHM")));
    ASSERT_NE(document.tocSource(), nullptr);
    TomefoldConversionOptions options = letterOptions();
    CHMExporter exporter(document, QUrl::fromLocalFile(outputPath(QStringLiteral("progress"))),
                         document.tocSource()->pageList(), &options);
    exporter.initConditionalLock();
    exporter.exportToPDF();
    EXPECT_EQ(exporter.lastProgress().title, QStringLiteral("Exporting export-five.chm"));
    EXPECT_EQ(exporter.lastProgress().rate, 0.0);
    exporter.lockWhenCondition();
    EXPECT_EQ(exporter.outcome(), CHMExporter::Outcome::Written);
    EXPECT_EQ(exporter.pageCount(), 5);
    // Five topics, the start of link processing and one report per output page, then saving.
    EXPECT_EQ(exporter.lastProgress().reports, 5 + 1 + 5 + 1);
    EXPECT_EQ(exporter.lastProgress().title, QStringLiteral("Saving progress.pdf"));
}
