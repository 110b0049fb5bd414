#include "support/PdfLinkTestFiles.h"
#include "platform/PdfDocument.h"
#include "platform/PdfOutline.h"

#include <gtest/gtest.h>

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

using namespace PdfLinkTestFiles;

namespace {

// Reads the written bytes whole, every object included, and writes them again: neither complains.
void expectReadsAndWritesCleanly(QPDF& read, const QByteArray& bytes)
{
    read.processMemoryFile("written", bytes.constData(), static_cast<size_t>(bytes.size()));
    QPDFWriter again(read);
    again.setOutputMemory();
    again.write();
    EXPECT_FALSE(read.anyWarnings());
}

// The output document of an export: pages copied one by one from a printed document.
std::unique_ptr<PdfDocument> copyPages(const QByteArray& printed, const std::vector<int>& pages)
{
    const std::unique_ptr<PdfDocument> source = PdfDocument::open(printed);
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    for (int index : pages)
        EXPECT_TRUE(output->appendPageCopy(*source, index));
    return output;
}

// The printed document with the rectangles of page 0's annotations replaced, in order, as written.
QByteArray withRectangles(const QByteArray& printed, const std::vector<std::string>& rectangles)
{
    QPDF edited;
    edited.processMemoryFile("printed", printed.constData(), static_cast<size_t>(printed.size()));
    QPDFObjectHandle page = edited.getAllPages().at(0);
    QPDFObjectHandle annotations = page.getKey("/Annots");
    for (std::size_t at = 0; at < rectangles.size(); ++at)
        annotations.getArrayItem(static_cast<int>(at)).replaceKey("/Rect", QPDFObjectHandle::parse(rectangles[at]));
    QPDFWriter writer(edited);
    writer.setOutputMemory();
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), static_cast<qsizetype>(buffer->getSize()));
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

TEST(PdfHeldLinks, HeldLinksLeaveTheirPagesAndAreWrittenBackInTheirPlacesOnlyWithADestination)
{
    // Page 0: internal, note, web, internal (to be dropped), jump; page 1: internal; page 2 none.
    const QByteArray printed = pagesWithAnnotations(
        {{{"itss://chm/one.htm", {}}, {}, {"http://example.com/", {}}, {"itss://chm/gone.htm", {}}, {{}, "here"}},
         {{"itss://chm/two.htm#a", {}}},
         {}},
        {{"here", 2}});
    const std::unique_ptr<PdfDocument> source = PdfDocument::open(printed);
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    output->holdInternalLinks([](const QString& url) { return url.startsWith(QLatin1String("itss:")); });
    for (int index : {0, 1, 2})
        ASSERT_TRUE(output->appendPageCopy(*source, index));

    // The copies carry what is not held; the printed page keeps all it had.
    EXPECT_EQ(source->annotationCount(0), 5);
    ASSERT_EQ(output->annotationCount(0), 2);
    EXPECT_EQ(output->annotationAt(0, 1).url, QStringLiteral("http://example.com/"));
    ASSERT_EQ(output->heldLinkCount(0), 3);
    EXPECT_EQ(output->heldLinkAt(0, 0).url, QStringLiteral("itss://chm/one.htm"));
    EXPECT_EQ(output->heldLinkAt(0, 1).url, QStringLiteral("itss://chm/gone.htm"));
    const PdfLinkAnnotation jump = output->heldLinkAt(0, 2);
    EXPECT_TRUE(jump.jumpsInDocument);
    ASSERT_TRUE(jump.jumpTarget.has_value());
    EXPECT_EQ(jump.jumpTarget->pageIndex, 2);
    EXPECT_EQ(output->heldLinkCount(1), 1);
    EXPECT_EQ(output->heldLinkCount(2), 0);
    EXPECT_FALSE(output->heldLinkAt(0, 3).isLink);

    EXPECT_TRUE(output->setHeldLinkDestination(0, 0, PdfDestination{1, QPointF(36.5, 700.25)}));
    EXPECT_FALSE(output->setHeldLinkDestination(0, 1, PdfDestination{3, QPointF()})); // no such page
    EXPECT_TRUE(output->setHeldLinkDestination(0, 2, jump.jumpTarget));
    EXPECT_TRUE(output->setHeldLinkDestination(1, 0, PdfDestination{0, QPointF(0, 792)}));

    const QByteArray bytes = output->toBytes();
    const std::vector<ReadAnnotation> first = annotationsOfPage(bytes, 0);
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ(first[0].destPage, 1);
    EXPECT_EQ(first[0].destPoint, QPointF(36.5, 700.25));
    EXPECT_TRUE(first[0].uri.isNull());
    // The rectangle and the other keys as printed.
    EXPECT_EQ(first[0].rect, QRectF(QPointF(72, 600.21902), QPointF(200.5, 620.67084)));
    EXPECT_EQ(first[0].flags, 4);
    EXPECT_EQ(first[1].subtype, QStringLiteral("/Text"));
    EXPECT_EQ(first[2].uri, QStringLiteral("http://example.com/"));
    EXPECT_EQ(first[3].destPage, 2);
    EXPECT_EQ(first[3].destPoint, QPointF(72, 700));
    EXPECT_FALSE(first[3].hasNamedDest);
    const std::vector<ReadAnnotation> second = annotationsOfPage(bytes, 1);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].destPage, 0);
    EXPECT_TRUE(annotationsOfPage(bytes, 2).empty());

    // The file reads without a complaint, every object included, and writing again gives the same.
    QPDF read;
    expectReadsAndWritesCleanly(read, bytes);
    ASSERT_EQ(read.getAllPages().size(), 3u);
    EXPECT_EQ(annotationsOfPage(output->toBytes(), 0).size(), 4u);
    // A page with links is written again with its list in it: no list object is made for it, in
    // the file or in the document while it is written.
    for (int page : {0, 1}) {
        QPDFObjectHandle written = read.getAllPages().at(static_cast<std::size_t>(page));
        EXPECT_TRUE(written.getKey("/Annots").isArray()) << "page " << page;
        EXPECT_FALSE(written.getKey("/Annots").isIndirect()) << "page " << page;
        EXPECT_TRUE(written.getKey("/Contents").isStream()) << "page " << page;
        EXPECT_TRUE(written.getKey("/MediaBox").isRectangle()) << "page " << page;
    }
    EXPECT_EQ(output->annotationCount(0), 2);
}

TEST(PdfHeldLinks, ADocumentWhoseHeldLinksAllGoIsWrittenWithoutThem)
{
    const QByteArray printed = pagesWithAnnotations({{{"itss://chm/one.htm", {}}, {"http://example.com/", {}}}});
    const std::unique_ptr<PdfDocument> source = PdfDocument::open(printed);
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    output->holdInternalLinks([](const QString& url) { return url.startsWith(QLatin1String("itss:")); });
    ASSERT_TRUE(output->appendPageCopy(*source, 0));
    const std::vector<ReadAnnotation> written = annotationsOfPage(output->toBytes(), 0);
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].uri, QStringLiteral("http://example.com/"));
}

TEST(PdfHeldLinks, LinksToOneTargetLeadWhereEachWasSentAndThoseNeverSentAreLeftOut)
{
    // Page 0: four links to one topic and one to another; page 1: one more to the first topic.
    const QByteArray printed = pagesWithAnnotations({{{"itss://chm/one.htm", {}},
                                                      {"itss://chm/one.htm", {}},
                                                      {"itss://chm/one.htm", {}},
                                                      {"itss://chm/one.htm", {}},
                                                      {"itss://chm/two.htm", {}}},
                                                     {{"itss://chm/one.htm", {}}}});
    // The second link's rectangle in quarter points, the last one's as the engine prints a scaled
    // page (floats written shortest), the others to five decimals.
    QPDF edited;
    edited.processMemoryFile("printed", printed.constData(), static_cast<size_t>(printed.size()));
    QPDFObjectHandle editedPage = edited.getAllPages().at(0);
    editedPage.getKey("/Annots").getArrayItem(1).replaceKey("/Rect", QPDFObjectHandle::parse("[42 641.25 126.75 653.25]"));
    editedPage.getKey("/Annots").getArrayItem(4).replaceKey(
        "/Rect", QPDFObjectHandle::parse("[41.983376 689.67865 95.833786 703.88922]"));
    QPDFWriter writer(edited);
    writer.setOutputMemory();
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    const std::unique_ptr<PdfDocument> source = PdfDocument::open(
        QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), static_cast<qsizetype>(buffer->getSize())));
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    output->holdInternalLinks([](const QString& url) { return url.startsWith(QLatin1String("itss:")); });
    ASSERT_TRUE(output->appendPageCopy(*source, 0));
    ASSERT_TRUE(output->appendPageCopy(*source, 1));
    ASSERT_EQ(output->heldLinkCount(0), 5);

    const PdfDestination topicOne{1, QPointF(36, 756)};
    EXPECT_TRUE(output->setHeldLinkDestination(0, 0, topicOne));
    EXPECT_TRUE(output->setHeldLinkDestination(0, 1, PdfDestination{0, QPointF(20, 600.5)}));
    // Link 2 is never sent anywhere; link 3 is sent nowhere.
    EXPECT_TRUE(output->setHeldLinkDestination(0, 3, std::nullopt));
    EXPECT_TRUE(output->setHeldLinkDestination(0, 4, PdfDestination{0, QPointF(0, 792)}));
    EXPECT_TRUE(output->setHeldLinkDestination(1, 0, topicOne));
    // Sent again, the first goes alone; the one on page 1 stays where it was sent.
    EXPECT_TRUE(output->setHeldLinkDestination(0, 0, PdfDestination{0, QPointF(5, 5)}));

    const QByteArray bytes = output->toBytes();
    const std::vector<ReadAnnotation> first = annotationsOfPage(bytes, 0);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0].destPage, 0);
    EXPECT_EQ(first[0].destPoint, QPointF(5, 5));
    EXPECT_EQ(first[0].rect, QRectF(QPointF(72, 600.21902), QPointF(200.5, 620.67084)));
    EXPECT_EQ(first[1].destPage, 0);
    EXPECT_EQ(first[1].destPoint, QPointF(20, 600.5));
    EXPECT_EQ(first[1].rect, QRectF(QPointF(42, 641.25), QPointF(126.75, 653.25)));
    EXPECT_EQ(first[2].destPoint, QPointF(0, 792));
    EXPECT_EQ(first[2].rect, QRectF(QPointF(41.983376, 689.67865), QPointF(95.833786, 703.88922)));
    const std::vector<ReadAnnotation> second = annotationsOfPage(bytes, 1);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].destPage, 1);
    EXPECT_EQ(second[0].destPoint, QPointF(36, 756));
}

TEST(PdfHeldLinks, LinksOfMorePagesThanMemoryKeepAreSentAndWrittenAsTheirPagesWere)
{
    // More links than one block of records: most wait on disk while they are sent and written.
    constexpr int kPages = 240;
    constexpr int kLinks = 48;
    std::vector<std::vector<Annotation>> pages(kPages);
    for (int page = 0; page < kPages; ++page) {
        for (int link = 0; link < kLinks; ++link)
            pages[static_cast<std::size_t>(page)].push_back({QStringLiteral("itss://chm/t%1.htm").arg(page * kLinks + link), {}});
    }
    const std::unique_ptr<PdfDocument> source = PdfDocument::open(pagesWithAnnotations(pages));
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    output->holdInternalLinks([](const QString& url) { return url.startsWith(QLatin1String("itss:")); });
    for (int page = 0; page < kPages; ++page)
        ASSERT_TRUE(output->appendPageCopy(*source, page));

    // Each link page after page, as the resolution goes; every fifth is sent nowhere.
    auto placeOf = [](int page, int link) { return PdfDestination{(page + link) % kPages, QPointF(link, page)}; };
    for (int page = 0; page < kPages; ++page) {
        ASSERT_EQ(output->heldLinkCount(page), kLinks) << "page " << page;
        for (int link = 0; link < kLinks; ++link) {
            ASSERT_EQ(output->heldLinkAt(page, link).url, QStringLiteral("itss://chm/t%1.htm").arg(page * kLinks + link));
            const bool sent = link % 5 != 0;
            ASSERT_TRUE(output->setHeldLinkDestination(page, link, sent ? std::optional(placeOf(page, link)) : std::nullopt));
        }
    }
    // A page long since on disk is sent again: its last link now goes nowhere.
    ASSERT_TRUE(output->setHeldLinkDestination(1, kLinks - 1, std::nullopt));

    const QByteArray bytes = output->toBytes();
    // Every object where the cross-reference table says, runs of many pages included.
    QPDF read;
    expectReadsAndWritesCleanly(read, bytes);
    for (int page : {0, 1, kPages / 2, kPages - 1}) {
        const std::vector<ReadAnnotation> written = annotationsOfPage(bytes, page);
        std::vector<PdfDestination> expected;
        for (int link = 0; link < kLinks; ++link) {
            if (link % 5 != 0 && !(page == 1 && link == kLinks - 1))
                expected.push_back(placeOf(page, link));
        }
        ASSERT_EQ(written.size(), expected.size()) << "page " << page;
        for (std::size_t at = 0; at < written.size(); ++at) {
            EXPECT_EQ(written[at].destPage, expected[at].pageIndex) << "page " << page << " link " << at;
            EXPECT_EQ(written[at].destPoint, expected[at].point) << "page " << page << " link " << at;
        }
    }
}

TEST(PdfHeldLinks, RectanglesPrintedToSixDecimalsAreHeldInTheRecordsAndWrittenBackExactly)
{
    // Page coordinates past 100 printed to six decimals carry nine digits, more than eight
    // significant ones; one rectangle no float holds at all; one on the page's edge.
    const std::vector<std::string> rectangles = {
        "[68.16066 635.08032 112.288078 649.29089]", "[111.540161 525.88367 155.667572 540.09418]",
        "[0.000001 5.5 9.999999 792]", "[12345.678901 1 2 3]",
        "[45.722992 470.53741 104.808861 484.74796]"};
    std::vector<std::vector<Annotation>> pages(1);
    for (std::size_t link = 0; link < rectangles.size(); ++link)
        pages[0].push_back({QStringLiteral("itss://chm/t%1.htm").arg(link), {}});
    const QByteArray printed = withRectangles(pagesWithAnnotations(pages), rectangles);
    const std::unique_ptr<PdfDocument> source = PdfDocument::open(printed);
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    output->holdInternalLinks([](const QString& url) { return url.startsWith(QLatin1String("itss:")); });
    const qint64 emptyBytes = output->heldLinkMemoryBytes();
    // A thousand copies of the page: only the one rectangle no float holds is kept apart each time.
    constexpr int kCopies = 1000;
    for (int copy = 0; copy < kCopies; ++copy)
        ASSERT_TRUE(output->appendPageCopy(*source, 0));
    ASSERT_EQ(output->heldLinkCount(kCopies - 1), 5);
    EXPECT_LT(output->heldLinkMemoryBytes() - emptyBytes, 2 * kCopies * 32 + 4096);
    for (int copy : {0, kCopies - 1}) {
        for (int link = 0; link < 5; ++link)
            ASSERT_TRUE(output->setHeldLinkDestination(copy, link, PdfDestination{copy, QPointF(link, 700)}));
    }

    const QByteArray bytes = output->toBytes();
    const std::vector<QRectF> expected = {QRectF(QPointF(68.16066, 635.08032), QPointF(112.288078, 649.29089)),
                                          QRectF(QPointF(111.540161, 525.88367), QPointF(155.667572, 540.09418)),
                                          QRectF(QPointF(0.000001, 5.5), QPointF(9.999999, 792)),
                                          QRectF(QPointF(12345.678901, 1), QPointF(2, 3)).normalized(),
                                          QRectF(QPointF(45.722992, 470.53741), QPointF(104.808861, 484.74796))};
    for (int copy : {0, kCopies - 1}) {
        const std::vector<ReadAnnotation> written = annotationsOfPage(bytes, copy);
        ASSERT_EQ(written.size(), expected.size()) << "copy " << copy;
        for (std::size_t link = 0; link < expected.size(); ++link)
            EXPECT_EQ(written[link].rect.normalized(), expected[link]) << "copy " << copy << " link " << link;
    }
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
