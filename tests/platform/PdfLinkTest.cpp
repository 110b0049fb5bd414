#include "support/PdfLinkTestFiles.h"
#include "platform/PdfDocument.h"
#include "platform/PdfOutline.h"

#include <gtest/gtest.h>

using namespace PdfLinkTestFiles;

namespace {

// The output document of an export: pages copied one by one from a printed document.
std::unique_ptr<PdfDocument> copyPages(const QByteArray& printed, const std::vector<int>& pages)
{
    const std::unique_ptr<PdfDocument> source = PdfDocument::open(printed);
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    for (int index : pages)
        EXPECT_TRUE(output->appendPageCopy(*source, index));
    return output;
}

} // namespace

TEST(PdfLinks, ReadsEachAnnotationAsPrinted)
{
    const QByteArray printed = pagesWithAnnotations({{{"itss://chm/a%20b.htm#Sec", {}}, {}, {"http://example.com/", {}}}});
    const std::unique_ptr<PdfDocument> document = copyPages(printed, {0});
    ASSERT_EQ(document->annotationCount(0), 3);
    EXPECT_TRUE(document->annotationAt(0, 0).isLink);
    EXPECT_EQ(document->annotationAt(0, 0).url, QStringLiteral("itss://chm/a%20b.htm#Sec"));
    EXPECT_FALSE(document->annotationAt(0, 1).isLink); // a text note
    EXPECT_EQ(document->annotationAt(0, 2).url, QStringLiteral("http://example.com/"));
    EXPECT_FALSE(document->annotationAt(0, 0).jumpsInDocument);
    // Nothing beyond the page's list or the document's pages.
    EXPECT_FALSE(document->annotationAt(0, 3).isLink);
    EXPECT_EQ(document->annotationCount(1), 0);
    EXPECT_FALSE(document->removeAnnotation(1, 0));
}

TEST(PdfLinks, NamedJumpsFindTheirPageAmongTheCopiedPagesWhereverItLandsOrNot)
{
    // Page 0 jumps to "later" on page 2 and to "dropped" on page 1, which is not copied; page 2
    // jumps back to "first" on page 0 and to a name the document does not define.
    const QByteArray printed = pagesWithAnnotations(
        {{{{}, "later"}, {{}, "dropped"}}, {}, {{{}, "first"}, {{}, "undefined"}}},
        {{"later", 2}, {"dropped", 1}, {"first", 0}}, 650);
    // Two earlier pages shift the copies: page 0 becomes output 2, page 2 output 3.
    const QByteArray other = pagesWithAnnotations({{}, {}});
    std::unique_ptr<PdfDocument> output = copyPages(other, {0, 1});
    const std::unique_ptr<PdfDocument> source = PdfDocument::open(printed);
    ASSERT_TRUE(output->appendPageCopy(*source, 0));
    // Before its page is copied, the later place has no target yet.
    EXPECT_TRUE(output->annotationAt(2, 0).jumpsInDocument);
    EXPECT_FALSE(output->annotationAt(2, 0).jumpTarget.has_value());
    ASSERT_TRUE(output->appendPageCopy(*source, 2));

    const PdfLinkAnnotation later = output->annotationAt(2, 0);
    ASSERT_TRUE(later.jumpTarget.has_value());
    EXPECT_EQ(later.jumpTarget->pageIndex, 3);
    EXPECT_EQ(later.jumpTarget->point, QPointF(72, 650));
    EXPECT_TRUE(later.url.isNull());
    EXPECT_TRUE(output->annotationAt(2, 1).jumpsInDocument);
    EXPECT_FALSE(output->annotationAt(2, 1).jumpTarget.has_value());
    ASSERT_TRUE(output->annotationAt(3, 0).jumpTarget.has_value());
    EXPECT_EQ(output->annotationAt(3, 0).jumpTarget->pageIndex, 2);
    EXPECT_FALSE(output->annotationAt(3, 1).jumpTarget.has_value());
}

TEST(PdfLinks, AJumpWithoutAHeightOfItsOwnLeadsToTheTopOfItsPage)
{
    // The page is 792 points high with its origin at the bottom: the top is y = 792, not 0.
    const QByteArray printed = pagesWithAnnotations({{{{}, "place"}}, {}}, {{"place", 1}}, std::nullopt);
    const std::unique_ptr<PdfDocument> output = copyPages(printed, {0, 1});
    const PdfLinkAnnotation jump = output->annotationAt(0, 0);
    ASSERT_TRUE(jump.jumpTarget.has_value());
    EXPECT_EQ(jump.jumpTarget->pageIndex, 1);
    EXPECT_EQ(jump.jumpTarget->point, QPointF(72, 792));
}

TEST(PdfLinks, ADestinationSetOrAnAnnotationRemovedIsWhatTheWrittenFileShows)
{
    const QByteArray printed = pagesWithAnnotations(
        {{{"itss://chm/one.htm", {}}, {"itss://chm/gone.htm", {}}, {"http://example.com/", {}}, {{}, "here"}}, {}},
        {{"here", 0}});
    std::unique_ptr<PdfDocument> output = copyPages(printed, {0, 1});
    EXPECT_TRUE(output->setAnnotationDestination(0, 0, {1, QPointF(36.5, 700.25)}));
    EXPECT_FALSE(output->setAnnotationDestination(0, 0, {2, QPointF()})); // no such page
    EXPECT_TRUE(output->removeAnnotation(0, 1));
    ASSERT_EQ(output->annotationCount(0), 3);
    EXPECT_EQ(output->annotationAt(0, 1).url, QStringLiteral("http://example.com/"));
    EXPECT_TRUE(output->setAnnotationDestination(0, 2, *output->annotationAt(0, 2).jumpTarget));
    // Once pointed at its place, the jump is an ordinary destination of this document.
    EXPECT_FALSE(output->annotationAt(0, 2).jumpsInDocument);

    const std::vector<ReadAnnotation> written = annotationsOfPage(output->toBytes(), 0);
    ASSERT_EQ(written.size(), 3u);
    EXPECT_TRUE(written[0].uri.isNull()); // the URI action went with the new destination
    EXPECT_EQ(written[0].destPage, 1);
    EXPECT_EQ(written[0].destPoint, QPointF(36.5, 700.25));
    EXPECT_EQ(written[1].uri, QStringLiteral("http://example.com/"));
    EXPECT_EQ(written[1].destPage, -1);
    EXPECT_EQ(written[2].destPage, 0);
    EXPECT_FALSE(written[2].hasNamedDest);
}

TEST(PdfOutlines, NestingOrderTitlesAndDestinationsAreWritten)
{
    std::unique_ptr<PdfDocument> output = copyPages(pagesWithAnnotations({{}, {}, {}}), {0, 1, 2});
    PdfOutline root;
    PdfOutline& first = root.appendChild(PdfOutline(QStringLiteral("First")));
    first.setDestination({0, QPointF(0, 792)});
    PdfOutline& chapter = first.appendChild(PdfOutline(QStringLiteral("Глава первая")));
    chapter.setDestination({2, QPointF(10, 400)});
    first.appendChild(PdfOutline(QStringLiteral("Label only")));
    first.appendChild(PdfOutline(QStringLiteral("日本語"))).setDestination({1, QPointF()});
    root.appendChild(PdfOutline(QStringLiteral("Café"))).setDestination({1, QPointF()});
    root.appendChild(PdfOutline(QStringLiteral("Beyond"))).setDestination({7, QPointF()});
    output->setOutlineRoot(root);

    const std::vector<ReadOutline> written = outlineOf(output->toBytes());
    EXPECT_EQ(outlineShape(written),
              QStringLiteral("First(0)[Глава первая(2) Label only(-1) 日本語(1)] Café(1) Beyond(-1)"));
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[0].children[0].destPoint, QPointF(10, 400));

    // A new root replaces the outline; one without entries removes it.
    output->setOutlineRoot(PdfOutline());
    EXPECT_TRUE(outlineOf(output->toBytes()).empty());
}
