#include "support/PdfTestFiles.h"
#include "support/TestSupport.h"
#include "export/AnchorPlacement.h"
#include "export/PrintedPageLayout.h"
#include "export/PageCharacters.h"
#include "export/pdfcore/CorePDFDocument.h"
#include "export/pdfcore/LocatorTextOutputDev.h"
#include "export/pdfcore/PageDisplay.h"

#include <Page.h>
#include <QFile>
#include <gtest/gtest.h>

#include <optional>

namespace {

using Destination = AnchorPlacement::Destination;

// Printed pages made for the test: one line of 24-point Helvetica at (72, 700) per page.
class AnchorPlacementTest : public testing::Test {
protected:
    void print(const QStringList& pageTexts)
    {
        m_printed = PDFCore::CorePDFDocument::fromBytes(PdfTestFiles::pagesWithTexts(pageTexts));
        ASSERT_TRUE(m_printed);
    }

    Destination pending(std::uint64_t offset, QPointF lead = QPointF())
    {
        auto item = std::make_shared<LinkDestinationItem>(0, offset);
        m_pending.push_back({item, offset, lead});
        return item;
    }

    // Places the pending destinations of `text` over every printed page; page i becomes output
    // page firstOutputPage + i.
    void place(const std::string& text, std::uint64_t firstOutputPage = 0)
    {
        AnchorPlacement placement;
        placement.setTopic(text, m_pending);
        placement.begin();
        for (int page = 0; page < m_printed->pageCount(); ++page)
            placement.placeOnPage(m_printed->document(), page, firstOutputPage + static_cast<std::uint64_t>(page));
        placement.finish();
        placement.clear();
    }

    std::unique_ptr<PDFCore::CorePDFDocument> m_printed;
    std::vector<AnchorPlacement::PendingDestination> m_pending;
};

// The line's words stand 700 points up; their tops a little above, the point 2 points above that.
void expectOnTheLine(const LinkDestinationItem& item)
{
    EXPECT_TRUE(item.isPlaced());
    EXPECT_GT(item.destLocation().y(), 710.0);
    EXPECT_LT(item.destLocation().y(), 735.0);
}

} // namespace

TEST_F(AnchorPlacementTest, PutsEachDestinationOnThePageAndAtTheWordWhereItsTextIs)
{
    print({"Alpha beta gamma", "Delta epsilon"});
    const Destination topic = pending(0);
    const Destination beta = pending(6);
    const Destination delta = pending(17);
    const Destination epsilon = pending(23);
    place("Alpha beta gamma\nDelta epsilon", 4);

    EXPECT_EQ(topic->pdfPageNo(), 4u);
    EXPECT_EQ(beta->pdfPageNo(), 4u);
    EXPECT_EQ(delta->pdfPageNo(), 5u);
    EXPECT_EQ(epsilon->pdfPageNo(), 5u);
    for (const Destination& item : {topic, beta, delta, epsilon})
        expectOnTheLine(*item);
    EXPECT_NEAR(topic->destLocation().x(), 72.0, 1.0);
    EXPECT_NEAR(delta->destLocation().x(), 72.0, 1.0);
    EXPECT_GT(beta->destLocation().x(), topic->destLocation().x() + 50.0);
    EXPECT_GT(epsilon->destLocation().x(), delta->destLocation().x() + 50.0);
    EXPECT_DOUBLE_EQ(topic->destLocation().y(), beta->destLocation().y());
}

TEST_F(AnchorPlacementTest, DestinationsThatBeginAtOneWordShareItsPlace)
{
    // The topic, a heading's name and a name before the blanks that precede it all begin at
    // "Alpha"; none of them may slip to the word after.
    print({"Alpha beta"});
    const Destination topic = pending(0);
    const Destination blank = pending(1);
    const Destination heading = pending(3);
    const Destination beta = pending(9);
    place("\n  Alpha beta");

    EXPECT_EQ(blank->destLocation(), topic->destLocation());
    EXPECT_EQ(heading->destLocation(), topic->destLocation());
    EXPECT_NEAR(topic->destLocation().x(), 72.0, 1.0);
    EXPECT_GT(beta->destLocation().x(), topic->destLocation().x() + 50.0);
}

TEST_F(AnchorPlacementTest, ADestinationNoPageReachesStaysUnplaced)
{
    // Text the pages never show: no page takes the name, which must not fall to the foot of the
    // first page.
    print({"Alpha beta"});
    const Destination topic = pending(0);
    const Destination unseen = pending(11);
    place("Alpha beta zeta eta", 3);

    EXPECT_TRUE(topic->isPlaced());
    EXPECT_EQ(topic->pdfPageNo(), 3u);
    EXPECT_FALSE(unseen->isPlaced());
    EXPECT_EQ(unseen->pdfPageNo(), 0u);
    EXPECT_EQ(unseen->destLocation(), QPointF());
}

TEST_F(AnchorPlacementTest, AnOffsetInsideThePagesLastWordTakesItsCharacter)
{
    // Offset 13 lies inside "gamma", the page's last word: the matching passes it without
    // locating it, and the page's character 13 (the second "m") gives the point.
    print({"Alpha beta gamma", "Delta"});
    const Destination gamma = pending(11);
    const Destination inside = pending(13);
    place("Alpha beta gammaDelta");

    EXPECT_EQ(inside->pdfPageNo(), 0u);
    EXPECT_TRUE(inside->isPlaced());
    EXPECT_GT(inside->destLocation().x(), gamma->destLocation().x() + 20.0);
    EXPECT_LT(inside->destLocation().x(), gamma->destLocation().x() + 60.0);
    expectOnTheLine(*inside);
}

TEST_F(AnchorPlacementTest, WordsAPageRepeatsAtItsTopDoNotTakeTheNextDestination)
{
    // A table's header row printed again at the top of the second page: the row's name belongs
    // to its first cell, not to the header.
    print({"Alpha beta", "Key Name Gamma delta"});
    const Destination row = pending(11);
    place("Alpha beta Gamma delta");

    EXPECT_EQ(row->pdfPageNo(), 1u);
    EXPECT_GT(row->destLocation().x(), 150.0);
    expectOnTheLine(*row);
}

TEST_F(AnchorPlacementTest, APageWithoutWordsTakesTheTopicAtItsTopLeftCorner)
{
    print({QString(), "Alpha"});
    const Destination topic = pending(0);
    const Destination alpha = pending(1);
    place(" Alpha", 7);

    EXPECT_EQ(topic->pdfPageNo(), 7u);
    EXPECT_EQ(topic->destLocation(), QPointF(0, 792));
    EXPECT_EQ(alpha->pdfPageNo(), 8u);
    expectOnTheLine(*alpha);
}

TEST(PageCharacters, CountsEveryWordsCharactersAndOneSeparatorBetweenWords)
{
    const auto printed = PDFCore::CorePDFDocument::fromBytes(PdfTestFiles::pagesWithTexts({"Alpha beta", QString()}));
    ASSERT_TRUE(printed);
    for (int page = 1; page <= 2; ++page) {
        PDFCore::LocatorTextOutputDev device;
        ASSERT_TRUE(device.isOk());
        PDFCore::displayPages(printed->document(), device, page, page, 72, 72, 0, false, true, false);
        const PageCharacters characters =
            PageCharacters::fromDevice(device, *printed->document().getPage(page)->getCropBox());
        if (page == 2) {
            EXPECT_EQ(characters.numberOfCharacters(), 0u);
            EXPECT_EQ(characters.topLeftOfCharacterNearest(5), QPointF(0, 792));
            continue;
        }
        ASSERT_EQ(characters.numberOfCharacters(), 10u);
        const QRectF b = characters.characterBoundsAtIndex(6);
        EXPECT_LT(characters.characterBoundsAtIndex(5).right(), b.left() + 0.01);
        EXPECT_LT(b.right(), characters.characterBoundsAtIndex(7).right());
        EXPECT_GT(b.height(), 15.0);
        EXPECT_NEAR(b.y(), 700.0, 8.0); // page space, y up: the lower edge is near the baseline
        EXPECT_EQ(characters.topLeftOfCharacterNearest(6), QPointF(b.x(), b.y() + b.height()));
        // Beyond the page's characters: the last one, never the foot of the page.
        const QRectF last = characters.characterBoundsAtIndex(9);
        EXPECT_EQ(characters.topLeftOfCharacterNearest(400), QPointF(last.x(), last.y() + last.height()));
    }
}

TEST_F(AnchorPlacementTest, AWordThatBeginsRightAfterAPagesLastWordIsTheNextPages)
{
    // Blocks whose texts meet without a blank ("end" closing one page, a heading opening the
    // next): the heading's name goes with the heading.
    print({"Alpha end", "Heading text"});
    const Destination heading = pending(9);
    place("Alpha endHeading text");

    EXPECT_EQ(heading->pdfPageNo(), 1u);
    EXPECT_NEAR(heading->destLocation().x(), 72.0, 1.0);
    expectOnTheLine(*heading);
}

TEST_F(AnchorPlacementTest, NamesAfterTheLastWordGoToTheEndOfTheLastPage)
{
    print({"Alpha beta", "Gamma"});
    const Destination gamma = pending(11);
    const Destination closing = pending(16);
    const Destination afterScript = pending(20);
    place("Alpha beta Gamma    \n", 2); // a script's blanks, then the end of the page

    EXPECT_EQ(closing->pdfPageNo(), 3u);
    EXPECT_EQ(afterScript->pdfPageNo(), 3u);
    EXPECT_TRUE(afterScript->isPlaced());
    EXPECT_GT(closing->destLocation().x(), gamma->destLocation().x() + 40.0);
    expectOnTheLine(*closing);
}

TEST_F(AnchorPlacementTest, APageThatCouldNotBeAppendedTakesItsDestinationsWithIt)
{
    // The first page failed to go into the output: its destinations point nowhere rather than at
    // the page that follows, and the second page's still land on it.
    print({"Alpha beta gamma", "Delta epsilon"});
    const Destination topic = pending(0);
    const Destination beta = pending(6);
    const Destination delta = pending(17);
    AnchorPlacement placement;
    placement.setTopic("Alpha beta gamma\nDelta epsilon", m_pending);
    placement.begin();
    placement.passOverPage(m_printed->document(), 0);
    placement.placeOnPage(m_printed->document(), 1, 3);
    placement.finish();
    EXPECT_FALSE(topic->isPlaced());
    EXPECT_FALSE(beta->isPlaced());
    EXPECT_EQ(delta->pdfPageNo(), 3u);
    expectOnTheLine(*delta);
    EXPECT_NEAR(delta->destLocation().x(), 72.0, 1.0);
}

TEST_F(AnchorPlacementTest, AnElementThatBeginsAboveItsTextIsPlacedWhereItBegins)
{
    // Padding above and left of the text moves the destination up and left by as much; an element
    // that would begin above the page's top (on the page before) is put at the top.
    print({"Alpha beta gamma"});
    const Destination plain = pending(0);
    const Destination padded = pending(6, QPointF(10.0, 30.0));
    const Destination tall = pending(11, QPointF(500.0, 900.0));
    place("Alpha beta gamma");
    expectOnTheLine(*plain);
    ASSERT_TRUE(padded->isPlaced());
    EXPECT_NEAR(padded->destLocation().y(), plain->destLocation().y() + 30.0, 0.01);
    EXPECT_GT(padded->destLocation().x(), plain->destLocation().x() + 40.0);
    EXPECT_DOUBLE_EQ(tall->destLocation().y(), 792.0);
    EXPECT_DOUBLE_EQ(tall->destLocation().x(), 0.0);
}

TEST_F(AnchorPlacementTest, ScrapsOfALineTornAtAPagesFootDoNotTakeItsName)
{
    // The foot of the first page shows scraps of the signature's letters; its name goes with the
    // whole line at the top of the next page, never a page before it.
    print({"Join it. c v w t st k ()", "cover_wet_stroke() Stops."});
    const Destination signature = pending(9);
    place("Join it.\ncover_wet_stroke()\nStops.");

    EXPECT_EQ(signature->pdfPageNo(), 1u);
    EXPECT_NEAR(signature->destLocation().x(), 72.0, 1.0);
    expectOnTheLine(*signature);
}

namespace {

// A topic of a generated reference as the export met it: its text, the words of each of its
// printed pages in painting order, and its destinations, each with the page (from the topic's
// first) where the engine prints its element's first text. The recordings of our own pages in
// tests/data/anchor-replays are made by AnchorAccuracy.RecordsTopicsForReplay from that folder's
// fixture; context-headings is written by hand, in our own words over a measured page's places.
struct RecordedTopic {
    std::string text;
    std::vector<std::optional<PrintedPageLayout>> pages;
    struct Name {
        std::uint64_t wordOffset = 0;
        bool labelled = false;
        int page = -1; // -1: the engine prints nothing of it
        std::string name;
    };
    std::vector<Name> names;

    static RecordedTopic read(const QString& name)
    {
        const QString base = TestSupport::sourceDataPath(QStringLiteral("anchor-replays/") + name);
        RecordedTopic topic;
        QFile text(base + QStringLiteral(".text"));
        EXPECT_TRUE(text.open(QIODevice::ReadOnly)) << base.toStdString();
        topic.text = text.readAll().toStdString();
        // One word a line, "x y word" (points from the top-left corner); a blank line ends a page.
        QFile pages(base + QStringLiteral(".pages"));
        EXPECT_TRUE(pages.open(QIODevice::ReadOnly | QIODevice::Text));
        PrintedPageLayout page;
        page.cropBox = PDFRectangle(0, 0, 612, 792);
        page.deviceOk = true;
        while (!pages.atEnd()) {
            const QString line = QString::fromUtf8(pages.readLine()).chopped(1);
            if (line.isEmpty()) {
                topic.pages.emplace_back(page);
                page.words.clear();
                continue;
            }
            const QStringList fields = line.split(QLatin1Char(' '));
            PDFCore::LocatorWord word;
            word.xMin = fields.value(0).toDouble();
            word.yMin = fields.value(1).toDouble();
            for (const char32_t c : fields.mid(2).join(QLatin1Char(' ')).toUcs4())
                word.chars.push_back(c);
            page.words.push_back(std::move(word));
        }
        // "wordOffset labelled page name", in the order the walk met them.
        QFile names(base + QStringLiteral(".names"));
        EXPECT_TRUE(names.open(QIODevice::ReadOnly | QIODevice::Text));
        while (!names.atEnd()) {
            const QStringList fields = QString::fromUtf8(names.readLine()).trimmed().split(QLatin1Char(' '));
            if (fields.size() == 4)
                topic.names.push_back({fields[0].toULongLong(), fields[1] == QLatin1String("1"), fields[2].toInt(), fields[3].toStdString()});
        }
        return topic;
    }
};

struct ReplayTally {
    int onTheirPage = 0;
    int unplaced = 0;
    int beforeTheirText = 0;
    int printed = 0; // destinations whose element prints text
};

// Places the recorded topic's destinations, page after page, and compares each with its page.
ReplayTally replay(const RecordedTopic& topic)
{
    const std::unique_ptr<PDFCore::CorePDFDocument> stand = PDFCore::CorePDFDocument::fromBytes(PdfTestFiles::pagesWithTexts({QStringLiteral(" ")}));
    std::vector<AnchorPlacement::PendingDestination> pending{{std::make_shared<LinkDestinationItem>(0, 0), 0, QPointF()}};
    for (const RecordedTopic::Name& name : topic.names)
        pending.push_back({std::make_shared<LinkDestinationItem>(0, name.wordOffset), name.wordOffset, QPointF(), name.labelled});
    AnchorPlacement placement;
    placement.setTopic(topic.text, pending);
    placement.usePreparedPages(&topic.pages);
    placement.begin();
    for (std::size_t page = 0; page < topic.pages.size(); ++page)
        placement.placeOnPage(stand->document(), static_cast<int>(page), page);
    placement.finish();
    placement.clear();

    ReplayTally tally;
    for (std::size_t i = 0; i < topic.names.size(); ++i) {
        const RecordedTopic::Name& name = topic.names[i];
        const LinkDestinationItem& item = *pending[i + 1].item;
        if (name.page < 0)
            continue;
        ++tally.printed;
        if (!item.isPlaced()) {
            ++tally.unplaced;
            ADD_FAILURE() << name.name << " unplaced, its text on page " << name.page;
        } else if (static_cast<int>(item.pdfPageNo()) < name.page) {
            ++tally.beforeTheirText;
            ADD_FAILURE() << name.name << " on page " << item.pdfPageNo() << ", its text on page " << name.page;
        } else if (static_cast<int>(item.pdfPageNo()) == name.page) {
            ++tally.onTheirPage;
        }
    }
    return tally;
}

} // namespace

// Signatures whose type is painted twice, with a shadow, a hair apart, among members whose texts
// repeat each other: each member's name lands on its own page, not ahead at a later member whose
// lines read like the shadowed ones.
TEST(AnchorReplay, ShadowedSignaturesAreFollowedOnce)
{
    const ReplayTally tally = replay(RecordedTopic::read(QStringLiteral("shadowed-signatures")));
    EXPECT_EQ(tally.onTheirPage, tally.printed);
}

// Overloads whose signatures repeat word for word for longer than runs are compared: the trail
// goes on at the next one instead of losing its way, and every name after them is placed.
TEST(AnchorReplay, OverloadsThatReadAlikeForLongAreToldApart)
{
    const ReplayTally tally = replay(RecordedTopic::read(QStringLiteral("overloads-read-alike")));
    EXPECT_EQ(tally.unplaced, 0);
    EXPECT_EQ(tally.onTheirPage, tally.printed);
}

// A page's last line (a row's annotation, which the screen hides and the paper shows) reads on like
// the text past a heading that the engine prints on the next page: the heading's name goes to the
// next page, with its text.
TEST(AnchorReplay, APagesLastWordsDoNotTakeANameWhoseTextIsOnTheNextPage)
{
    for (const char* name : {"returns-after-annotations", "annotation-at-a-foot"}) {
        SCOPED_TRACE(name);
        const ReplayTally tally = replay(RecordedTopic::read(QString::fromLatin1(name)));
        EXPECT_EQ(tally.beforeTheirText, 0);
        EXPECT_EQ(tally.onTheirPage, tally.printed);
    }
}

// Members' headings floated to the top of their page's painting order, one of them reading, with
// the line after it, like a later member's ahead: no name lands before its text.
TEST(AnchorReplay, FloatedHeadingsOfOverloadsDoNotLeadTheTrailAhead)
{
    const ReplayTally tally = replay(RecordedTopic::read(QStringLiteral("floated-headings-alike")));
    EXPECT_EQ(tally.beforeTheirText, 0);
    EXPECT_EQ(tally.onTheirPage, tally.printed);
}

// A page paints its members' headings first, the trail follows the first one, whose text goes on
// there, and the others read like text a little further on: each is passed over until its text
// comes, so that the words after them do not lead the trail ahead of the names still to come.
TEST(AnchorReplay, HeadingsPaintedFirstAfterOneTheTrailFollowedWaitForTheirText)
{
    const ReplayTally tally = replay(RecordedTopic::read(QStringLiteral("context-headings")));
    EXPECT_EQ(tally.beforeTheirText, 0);
    EXPECT_EQ(tally.onTheirPage, tally.printed);
}
