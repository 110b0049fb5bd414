#include "ExportTestSupport.h"
#include "support/PdfLinkTestFiles.h"
#include "support/PdfReadBack.h"
#include "common/TomefoldConversionOptions.h"
#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "export/CHMExporter.h"
#include "chm/ITSSScheme.h"
#include "export/PDFExportProvider.h"
#include "support/TestSupport.h"
#include "support/StubProgressDelegate.h"
#include "support/RecordingDesktop.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace PdfLinkTestFiles;

void registerTestUrlSchemes()
{
    registerITSSScheme();
}

namespace {

// Asks for a cancel once its file-name label shows that links are being processed.
class CancelWhileProcessing : public StubProgressDelegate {
public:
    bool isConversionCancelled() const override
    {
        return m_label.text().startsWith(QLatin1String("Processing"));
    }
    QLabel* exportFilenameLabel() const override { return &m_label; }

private:
    mutable QLabel m_label;
};

class LinkExport : public testing::Test {
protected:
    static TomefoldConversionOptions options(bool hyperlinks, bool toc)
    {
        TomefoldConversionOptions options;
        options.pageWidth = 612;
        options.pageHeight = 792;
        options.leftMargin = options.rightMargin = options.topMargin = options.bottomMargin = 36;
        options.exportHyperlinks = hyperlinks ? 1 : 0;
        options.exportTOC = toc ? 1 : 0;
        return options;
    }

    QString target() const { return m_folder.filePath(QStringLiteral("links.pdf")); }

    // Exports the links fixture as the batch does: from a worker thread while the main thread serves.
    QByteArray exportLinks(TomefoldConversionOptions options)
    {
        CHMDocument document;
        document.setExportProvider(&PDFExportProvider());
        EXPECT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("export-links"))),
                                         QStringLiteral("CHM")));
        exportFromWorker(document, QUrl::fromLocalFile(target()), options);
        QFile file(target());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The page that shows the text; -2 when none does (never equal to a missing destination).
    static int pageShowing(const QByteArray& pdf, const QString& text)
    {
        const QStringList texts = PdfReadBack::pageTexts(pdf);
        for (int page = 0; page < texts.size(); ++page)
            if (texts[page].contains(text))
                return page;
        return -2;
    }

    QTemporaryDir m_folder;
    // Nothing of an export reaches the desktop.
    RecordingDesktop m_desktop;
};

QStringList internalLinksAnywhere(const QByteArray& pdf)
{
    QStringList found;
    for (int page = 0; page < PdfReadBack::pageCount(pdf); ++page)
        for (const ReadAnnotation& link : annotationsOfPage(pdf, page))
            if (link.destPage >= 0 || link.hasNamedDest || link.uri.startsWith(QLatin1String("itss:")))
                found << QStringLiteral("page %1: %2").arg(page).arg(link.uri);
    return found;
}

} // namespace

TEST_F(LinkExport, LinksJumpToWhereTheirTopicsAndAnchorsWerePrinted)
{
    const QByteArray pdf = exportLinks(options(true, true));
    ASSERT_GT(PdfReadBack::pageCount(pdf), 0);
    ASSERT_EQ(pageShowing(pdf, QStringLiteral("LinkChapter")), 0);
    const int chapter = pageShowing(pdf, QStringLiteral("CHAPTERSTART"));
    const int section = pageShowing(pdf, QStringLiteral("DEEPSECTION"));
    const int bottom = pageShowing(pdf, QStringLiteral("INDEXBOTTOM"));
    ASSERT_GT(section, pageShowing(pdf, QStringLiteral("DEEPSTART"))) << "the anchor lies on a later page of its topic";
    ASSERT_GT(bottom, 0);

    // In printed order: the chapter, an anchor of another topic, an anchor no topic defines (its
    // topic's top), the topic that is not in the file (gone), a web link (as it was), and the
    // same-page anchor that the engine printed as a named place.
    const std::vector<ReadAnnotation> links = annotationsOfPage(pdf, 0);
    ASSERT_EQ(links.size(), 5u);
    EXPECT_EQ(links[0].destPage, chapter);
    EXPECT_EQ(links[1].destPage, section);
    EXPECT_EQ(links[2].destPage, chapter);
    EXPECT_EQ(links[3].uri, QStringLiteral("http://example.com/page"));
    EXPECT_EQ(links[3].destPage, -1);
    EXPECT_EQ(links[4].destPage, bottom);
    EXPECT_FALSE(links[4].hasNamedDest);
    // A topic link opens at the top of its page; the anchor lower down on its own page.
    EXPECT_GT(links[0].destPoint.y(), links[1].destPoint.y());

    const int backHome = pageShowing(pdf, QStringLiteral("LinkBackHome"));
    ASSERT_GE(backHome, 0);
    const std::vector<ReadAnnotation> homeLinks = annotationsOfPage(pdf, backHome);
    ASSERT_EQ(homeLinks.size(), 1u);
    EXPECT_EQ(homeLinks[0].destPage, 0);
}

// A topic whose floated sidebar lists its sections in the headings' own words, ahead of them:
// links from another topic to its named elements (empty names before headings, a definition term,
// names with a blank or an accented letter, an old-style <a name>, an empty name left at the foot of
// a page by the break before its heading) land where the sidebar's own links to the same names land,
// on the page of their text; one to an element that prints nothing leads to the top of its topic.
TEST_F(LinkExport, LinksFromAnotherTopicLandWhereTheTopicsOwnLinksLand)
{
    CHMDocument document;
    document.setExportProvider(&PDFExportProvider());
    ASSERT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("export-sidebar"))),
                                     QStringLiteral("CHM")));
    TomefoldConversionOptions settings = options(true, false);
    exportFromWorker(document, QUrl::fromLocalFile(target()), settings);
    QFile file(target());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    const QStringList texts = PdfReadBack::pageTexts(pdf);
    const auto lastPageShowing = [&texts](const QString& text) {
        for (qsizetype page = texts.size() - 1; page >= 0; --page)
            if (texts[page].contains(text))
                return static_cast<int>(page);
        return -2;
    };
    const std::vector<ReadAnnotation> own = annotationsOfPage(pdf, 0);
    const int linksPage = pageShowing(pdf, QStringLiteral("ToAlpha"));
    ASSERT_GT(linksPage, 0);
    const std::vector<ReadAnnotation> across = annotationsOfPage(pdf, linksPage);
    const QStringList targets = {QStringLiteral("Alpha: Setting"), QStringLiteral("Beta: Winding"),
                                 QStringLiteral("Gamma: Oiling"), QStringLiteral("Delta: Balancing"),
                                 QStringLiteral("Epsilon: Tuning"), QStringLiteral("wind.crank(turns"),
                                 QStringLiteral("Free wheel clutch"), QStringLiteral("Réglage fin"),
                                 QStringLiteral("Legacy keys wind"), QStringLiteral("Zeta: Closing")};
    ASSERT_EQ(own.size(), static_cast<std::size_t>(targets.size()));
    ASSERT_EQ(across.size(), own.size() + 1);
    for (qsizetype i = 0; i < targets.size(); ++i) {
        const auto index = static_cast<std::size_t>(i);
        EXPECT_EQ(across[index].destPage, lastPageShowing(targets[i])) << targets[i].toStdString();
        EXPECT_EQ(across[index].destPage, own[index].destPage) << targets[i].toStdString();
        EXPECT_NEAR(across[index].destPoint.y(), own[index].destPoint.y(), 1.0) << targets[i].toStdString();
    }
    EXPECT_EQ(across.back().destPage, 0);
}

TEST_F(LinkExport, TheOutlineMirrorsTheContentsAndTheFileIsSound)
{
    const QByteArray pdf = exportLinks(options(true, true));
    ASSERT_GT(PdfReadBack::pageCount(pdf), 0);
    // Titles, nesting and order of the contents, the non-ASCII title included; the entry of a
    // topic that is not in the file is a plain label.
    const QString expected = QStringLiteral("Start(%1)[Глава первая(%2) Missing(-1)] Deep(%3)[Deep section(%4)]")
                                 .arg(pageShowing(pdf, QStringLiteral("INDEXSTART")))
                                 .arg(pageShowing(pdf, QStringLiteral("CHAPTERSTART")))
                                 .arg(pageShowing(pdf, QStringLiteral("DEEPSTART")))
                                 .arg(pageShowing(pdf, QStringLiteral("DEEPSECTION")));
    EXPECT_EQ(outlineShape(outlineOf(pdf)).toStdString(), expected.toStdString());

    QProcess check;
    check.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), target()});
    ASSERT_TRUE(check.waitForFinished(60000));
    const QString report = QString::fromUtf8(check.readAllStandardOutput() + check.readAllStandardError());
    EXPECT_EQ(check.exitCode(), 0) << report.toStdString();
    EXPECT_FALSE(report.contains(QLatin1String("WARNING"))) << report.toStdString();
}

TEST_F(LinkExport, WithoutHyperlinksOnlyWebLinksRemainWhileTheOutlineStillJumps)
{
    const QByteArray pdf = exportLinks(options(false, true));
    ASSERT_GT(PdfReadBack::pageCount(pdf), 0);
    EXPECT_EQ(internalLinksAnywhere(pdf), QStringList());
    const std::vector<ReadAnnotation> links = annotationsOfPage(pdf, 0);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].uri, QStringLiteral("http://example.com/page"));
    const std::vector<ReadOutline> outline = outlineOf(pdf);
    ASSERT_EQ(outline.size(), 2u);
    EXPECT_EQ(outline[1].destPage, pageShowing(pdf, QStringLiteral("DEEPSTART")));
}

TEST_F(LinkExport, WithoutTheOutlineOptionThereIsNone)
{
    const QByteArray pdf = exportLinks(options(true, false));
    ASSERT_GT(PdfReadBack::pageCount(pdf), 0);
    EXPECT_TRUE(outlineOf(pdf).empty());
}

TEST_F(LinkExport, ACancelWhileProcessingLinksWritesNothingAndKeepsAnEarlierFile)
{
    {
        QFile earlier(target());
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    CancelWhileProcessing delegate;
    TomefoldConversionOptions cancelling = options(true, true);
    cancelling.progressCallback.object = &delegate;
    EXPECT_EQ(exportLinks(cancelling), QByteArray("earlier"));
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"links.pdf"}));
    EXPECT_EQ(delegate.exportFilenameLabel()->text(), QStringLiteral("Processing links.pdf"));

    // Without an earlier file there is none afterwards either.
    QFile::remove(target());
    EXPECT_EQ(exportLinks(cancelling), QByteArray());
    EXPECT_TRUE(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(LinkExport, AFailedWriteIsReportedAndLeavesWhatWasAtTheTarget)
{
    // A folder stands where the file should go: the finished file cannot replace it.
    ASSERT_TRUE(QDir(m_folder.path()).mkpath(QStringLiteral("links.pdf/kept")));
    CHMDocument document;
    ASSERT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("export-links"))),
                                     QStringLiteral("CHM")));
    TomefoldConversionOptions written = options(true, true);
    ASSERT_NE(document.tocSource(), nullptr);
    CHMExporter exporter(document, QUrl::fromLocalFile(target()), document.tocSource()->pageList(), &written);
    exporter.initConditionalLock();
    exporter.exportToPDF();
    exporter.lockWhenCondition();
    exporter.releaseLock();
    EXPECT_EQ(exporter.outcome(), CHMExporter::Outcome::WriteFailed);
    EXPECT_TRUE(QFileInfo(target() + QStringLiteral("/kept")).isDir());
    // Nothing half-written is left beside it.
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"links.pdf"}));
}
