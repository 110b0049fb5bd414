#include "support/PdfReadBack.h"
#include "common/TomefoldConversionOptions.h"
#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "chm/ITSSScheme.h"
#include "export/PDFExportProvider.h"
#include "export/CHMExporter.h"
#include "support/HangGuard.h"
#include "support/TestSupport.h"
#include "support/StubProgressDelegate.h"
#include "support/RecordingDesktop.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <thread>

void registerTestUrlSchemes()
{
    registerITSSScheme();
}

namespace {

// Answers the cancel question with yes from its n-th asking on.
class CancellingDelegate : public StubProgressDelegate {
public:
    explicit CancellingDelegate(int cancelAt) : m_cancelAt(cancelAt) { }
    bool isConversionCancelled() const override { return ++m_asked >= m_cancelAt; }
    int asked() const { return m_asked; }

private:
    int m_cancelAt;
    mutable int m_asked = 0;
};

TomefoldConversionOptions letterOptions()
{
    TomefoldConversionOptions options;
    options.pageWidth = 612;
    options.pageHeight = 792;
    options.leftMargin = options.rightMargin = options.topMargin = options.bottomMargin = 36;
    options.exportHyperlinks = 1;
    options.exportTOC = 1;
    return options;
}

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
            QEventLoop loop;
            std::thread worker([&] {
                document.exportToPDF(target, &options);
                QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
            });
            loop.exec();
            worker.join();
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
        EXPECT_EQ(PdfReadBack::pageSize(pdf, page).toSize(), QSize(842, 595));
        const QRectF text = PdfReadBack::textBounds(pdf, page);
        EXPECT_NEAR(text.left(), 50, 2);
        EXPECT_NEAR(text.top(), 70, 6);
    }
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
