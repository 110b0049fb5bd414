#include "common/TomefoldConversionOptions.h"
#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "chm/SitemapText.h"
#include "export/CHMExporter.h"
#include "support/TestSupport.h"

#include <QPageLayout>
#include <QRectF>
#include <gtest/gtest.h>

namespace {

using SitemapText::pathsOf;

class ExporterSetup : public testing::Test {
protected:
    void open(const QString& fixture)
    {
        ASSERT_TRUE(m_document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(fixture)), QStringLiteral("CHM")));
    }
    LinkItemList tocPages() const
    {
        return m_document.tocSource() ? m_document.tocSource()->pageList() : LinkItemList();
    }
    CHMDocument m_document;
};

} // namespace

TEST_F(ExporterSetup, ListsHomeFirstThenContentsThenEveryOtherPage)
{
    open(QStringLiteral("export-basic"));
    const CHMExporter exporter(m_document, QUrl::fromLocalFile(QStringLiteral("/tmp/out.pdf")), tocPages(), nullptr);
    // intro.html only begins like the listed intro.htm: it is a page of its own and is kept.
    EXPECT_EQ(pathsOf(exporter.pageList()),
              QStringList({"home.htm", "intro.htm", "chapter.htm", "missing.htm", "pages.htm", "runaway.htm", "extra.htm",
                           "intro.html"}));
    ASSERT_FALSE(exporter.pageList().isEmpty());
    EXPECT_EQ(exporter.pageList().first()->name(), QStringLiteral("Home"));
    EXPECT_EQ(exporter.pageList().last()->name(), QStringLiteral("intro.html"));
    // The contents' own items are shared, not copied.
    EXPECT_EQ(exporter.pageList().at(1), tocPages().at(0));
}

TEST_F(ExporterSetup, AListedHomePageIsNotAddedAgain)
{
    open(QStringLiteral("export-five"));
    const CHMExporter exporter(m_document, QUrl::fromLocalFile(QStringLiteral("/tmp/out.pdf")), tocPages(), nullptr);
    EXPECT_EQ(pathsOf(exporter.pageList()), QStringList({"one.htm", "two.htm", "three.htm", "four.htm", "five.htm"}));
}

TEST_F(ExporterSetup, AnEmptyContentsListStillExportsEveryPage)
{
    open(QStringLiteral("export-five"));
    const CHMExporter exporter(m_document, QUrl::fromLocalFile(QStringLiteral("/tmp/out.pdf")), LinkItemList(), nullptr);
    QStringList paths = pathsOf(exporter.pageList());
    EXPECT_EQ(paths.takeFirst(), QStringLiteral("one.htm")); // the home page
    paths.sort();
    EXPECT_EQ(paths, QStringList({"five.htm", "four.htm", "three.htm", "two.htm"}));
}

TEST_F(ExporterSetup, ListsEachPageWithANonASCIINameOnce)
{
    // The compiler wrote the object names in UTF-8 while the file's code page is CP1251: read in
    // the code page they would name other pages than the contents and be printed a second time.
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("chm-cyrillic")));
    ASSERT_EQ(m_document.encodingName(), QStringLiteral("CP1251"));
    const CHMExporter exporter(m_document, QUrl::fromLocalFile(QStringLiteral("/tmp/out.pdf")), tocPages(), nullptr);
    EXPECT_EQ(pathsOf(exporter.pageList()),
              QStringList({QStringLiteral("home.htm"), QStringLiteral("глава.htm"), QStringLiteral("жж.htm"),
                           QStringLiteral("second.htm")}));
}

TEST_F(ExporterSetup, FindsListedPagesByPageNotByCommonBeginning)
{
    CHMExporter exporter(m_document, QUrl(), {std::make_shared<LinkItem>(QStringLiteral("A"), QStringLiteral("Dir/Intro.htm#top")),
                                              std::make_shared<LinkItem>(QStringLiteral("B"), QStringLiteral("a%20b.htm"))},
                         nullptr);
    EXPECT_TRUE(exporter.FindPageInsidePageList(QStringLiteral("dir/intro.htm")));
    EXPECT_TRUE(exporter.FindPageInsidePageList(QStringLiteral("/DIR/INTRO.HTM")));
    EXPECT_TRUE(exporter.FindPageInsidePageList(QStringLiteral("a b.htm")));
    EXPECT_FALSE(exporter.FindPageInsidePageList(QStringLiteral("dir/intro.html")));
    EXPECT_FALSE(exporter.FindPageInsidePageList(QStringLiteral("dir/intro")));
    EXPECT_FALSE(exporter.FindPageInsidePageList(QString()));

    exporter.CheckNInsertPath(QStringLiteral("dir/INTRO.htm"));
    exporter.CheckNInsertPath(QString());
    exporter.CheckNInsertPath(QStringLiteral("dir/new.htm"));
    exporter.CheckNInsertPath(QStringLiteral("dir/new.htm"));
    ASSERT_EQ(exporter.pageList().size(), 3);
    EXPECT_EQ(exporter.pageList().last()->name(), QStringLiteral("new.htm"));
}

TEST_F(ExporterSetup, TakesPrintSettingsAndFlagsFromTheRecord)
{
    TomefoldConversionOptions options;
    options.pageWidth = 595;
    options.pageHeight = 842;
    options.leftMargin = 10;
    options.topMargin = 20;
    options.rightMargin = 30;
    options.bottomMargin = 40;
    options.orientation = kTomefoldLandscapeOrientation;
    options.exportHyperlinks = 0;
    options.exportTOC = 1;
    const CHMExporter exporter(m_document, QUrl(), {}, &options);
    EXPECT_FALSE(exporter.exportsHyperlinks());
    EXPECT_TRUE(exporter.exportsTOC());
    const ExportPrintSettings& settings = exporter.printSettings();
    EXPECT_EQ(settings.orientedPaperSize(), QSizeF(842, 595));
    EXPECT_EQ(settings.printableSize(), QSizeF(842 - 10 - 30, 595 - 20 - 40));
    EXPECT_EQ(settings.printableViewSize(), QSize(1069, 713)); // CSS pixels, 96 per inch
}

TEST_F(ExporterSetup, WithoutARecordExportsLinksAndOutlineWithDefaultSettings)
{
    const CHMExporter exporter(m_document, QUrl(), {}, nullptr);
    EXPECT_TRUE(exporter.exportsHyperlinks());
    EXPECT_TRUE(exporter.exportsTOC());
    EXPECT_EQ(exporter.printSettings().orientedPaperSize(), QSizeF(612, 792));
}

TEST(ExportPrintSettings, LandscapeTurnsThePageOnceWhicheverWayTheSizeIsGiven)
{
    ExportPrintSettings settings;
    settings.orientation = kTomefoldLandscapeOrientation;
    for (const QSizeF given : {QSizeF(612, 792), QSizeF(792, 612)}) {
        settings.paperWidth = given.width();
        settings.paperHeight = given.height();
        const QPageLayout layout = settings.pageLayout();
        EXPECT_EQ(layout.fullRect(QPageLayout::Point).size(), QSizeF(792, 612));
    }
    // Portrait keeps the size as given, even a wide one.
    settings.orientation = kTomefoldPortraitOrientation;
    EXPECT_EQ(settings.pageLayout().fullRect(QPageLayout::Point).size(), QSizeF(792, 612));
    settings.paperWidth = 612;
    settings.paperHeight = 792;
    settings.leftMargin = 11;
    settings.topMargin = 22;
    settings.rightMargin = 33;
    settings.bottomMargin = 44;
    const QPageLayout portrait = settings.pageLayout();
    EXPECT_EQ(portrait.fullRect(QPageLayout::Point).size(), QSizeF(612, 792));
    // The sides as asked; top and bottom leave room for ink (see PageBreakTest).
    EXPECT_EQ(portrait.margins(QPageLayout::Point).left(), 11);
    EXPECT_EQ(portrait.margins(QPageLayout::Point).right(), 33);
    EXPECT_NEAR(portrait.margins(QPageLayout::Point).top(), 22, 3);
    EXPECT_NEAR(portrait.margins(QPageLayout::Point).bottom(), 44, 3);
}
