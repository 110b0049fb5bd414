#include "export/AnchorWordTrail.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A page's words in painting order; word i stands at x = i, so a located record tells which word
// took it. A "/" between words begins another line.
std::vector<PDFCore::LocatorWord> pageWords(const QString& words)
{
    std::vector<PDFCore::LocatorWord> page;
    double line = 100.0;
    for (const QString& word : words.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word == QLatin1String("/")) {
            line += 20.0;
            continue;
        }
        PDFCore::LocatorWord located;
        for (const char32_t c : word.toUcs4())
            located.chars.push_back(c);
        located.xMin = static_cast<double>(page.size());
        located.yMin = line;
        page.push_back(located);
    }
    return page;
}

// Records at the first occurrence of each marker in the text.
std::vector<TextOffsetRecord> recordsAt(const std::string& text, const std::vector<std::string>& markers)
{
    std::vector<TextOffsetRecord> records;
    for (const std::string& marker : markers) {
        const std::size_t at = text.find(marker);
        EXPECT_NE(at, std::string::npos) << marker;
        records.push_back(TextOffsetRecord{static_cast<std::uint32_t>(at), 0.0, 0.0, 0});
    }
    return records;
}

// Which page (from 0) and word each record was located at; -1 for none.
struct Located {
    int page = -1;
    int word = -1;
};

std::vector<Located> follow(const std::string& text, std::vector<TextOffsetRecord>& records, const QStringList& pages,
                            const std::vector<std::uint8_t>& labelled = {})
{
    std::vector<Located> located(records.size());
    AnchorWordTrail trail(text, records, labelled);
    for (int p = 0; p < pages.size(); ++p) {
        const std::vector<PDFCore::LocatorWord> words = pageWords(pages[p]);
        trail.followPage(words);
        for (std::size_t r = 0; r < records.size(); ++r) {
            if (records[r].found != 0 && located[r].page < 0) {
                const int before = records[r].found == AnchorWordTrail::kFoundOnPageBefore ? 1 : 0;
                located[r] = {p - before, static_cast<int>(records[r].x)};
            }
        }
    }
    return located;
}

std::string screenOnlyContents()
{
    std::string contents = "Table of contents ";
    for (int i = 0; i < 120; ++i)
        contents += "entry_" + std::to_string(i) + "() returns a new handle ";
    return contents;
}

} // namespace

TEST(AnchorWordTrail, LeapsOverTextThatOnlyTheScreenShows)
{
    // A table of contents 5 KB long that print hides stands between the title and the body, and
    // a bar's words close every page: the body's names still land on their words.
    const std::string text = "Shade Go sheets inks\n" + screenOnlyContents()
                             + "\nsheets inks\nEvery call below lists what the module offers, in order.\nopen_entry(path)\nOpens an entry.\n"
                               "close_entry(path)\nCloses it.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"Every", "open_entry", "close_entry"});
    const std::vector<Located> located =
        follow(text, records, {"sheets inks Every call below lists what the module offers, in order. open_entry(path) Shade Go", "Opens an entry. close_entry(path) Closes it. Shade Go"});
    EXPECT_EQ(located[0].page, 0);
    EXPECT_EQ(located[0].word, 2);
    EXPECT_EQ(located[1].page, 0);
    EXPECT_EQ(located[1].word, 12);
    EXPECT_EQ(located[2].page, 1);
    EXPECT_EQ(located[2].word, 3);
}

TEST(AnchorWordTrail, ALineTornAtThePagesFootBelongsToTheNextPage)
{
    // The foot of the page shows scraps of the signature's letters ("c" even begins its name);
    // the next page shows the whole line, where the name must land rather than a page early.
    const std::string text = "Dry the sheet without a smudge.\ncover_wet_stroke()\nKeeps it clean.\n"
                             "close()\nCloses it.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"cover_wet_stroke", "close()"});
    const std::vector<Located> located =
        follow(text, records,
               {"Dry the sheet without a smudge. c v w t st k ()", "cover_wet_stroke() Keeps it clean. c",
                "close() Closes it."});
    EXPECT_EQ(located[0].page, 1);
    EXPECT_EQ(located[0].word, 0);
    EXPECT_EQ(located[1].page, 2);
    EXPECT_EQ(located[1].word, 0);
}

TEST(AnchorWordTrail, WordsShownAgainOrPaintedLateDoNotMoveTheTrail)
{
    // A code box the engine paints after the text that follows it; its second word continues the
    // text at the trail ("files" before "files.open_y"), by chance. Then a recurring phrase shown
    // again at the top of a page, which recurs further on too: neither may pull a name forward.
    const std::string text = "Intro text here.\nimport files\nwith files.open_x() as item:\n    print(item)\n"
                             "Then the prose goes on.\nfiles.open_y(path)\nOpens y.\n"
                             "Supported: Quill, not Plume.\nB text.\nSupported: Quill, not Plume.\nC text.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"Then", "files.open_y", "B text", "C text"});
    const std::vector<Located> located =
        follow(text, records,
               {"Intro text here. Then the prose goes on. import files with files.open_x() as item: print(item)",
                "files.open_y(path) Opens y. Supported: Quill, not Plume.",
                "Supported: Quill, not Plume. B text. Supported: Quill,", "not Plume. C text."});
    EXPECT_EQ(located[0].page, 0);
    EXPECT_EQ(located[0].word, 3);
    EXPECT_EQ(located[1].page, 1);
    EXPECT_EQ(located[1].word, 0);
    EXPECT_EQ(located[2].page, 2);
    EXPECT_EQ(located[2].word, 4);
    EXPECT_EQ(located[3].page, 3);
    EXPECT_EQ(located[3].word, 2);
}

TEST(AnchorWordTrail, BlocksThatMeetWithoutABlankAreFollowedAcross)
{
    // Minified pages put no blank between blocks: "form." ends one paragraph right before the next
    // one's "Next", and a heading's word ends where the page does.
    const std::string text = "Its string form.Next paragraph here.End";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"Next", "End"});
    const std::vector<Located> located = follow(text, records, {"Its string form. Next paragraph", "here. End"});
    EXPECT_EQ(located[0].page, 0);
    EXPECT_EQ(located[0].word, 3);
    EXPECT_EQ(located[1].page, 1);
    EXPECT_EQ(located[1].word, 1);
}

TEST(AnchorWordTrail, OnlyAnElementThatPrintsALabelBeginsAtWordsTheTextLacks)
{
    // Words the text does not hold stand before two headings ("[list size=n]", the cells of a
    // table painted out of order), and a note's generated "Warning:" before its text. The empty
    // names before the headings print nothing of their own: they land on the headings, not on the
    // stray words above them; the note begins at its label.
    const std::string text = "Parameters\nstroke the stroke\nstamp_char()\nStamps a char.\n"
                             "Dries the stroke.\nstamp_int()\nStamps an int.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"stamp_char", "Dries", "stamp_int"});
    const std::vector<Located> located = follow(
        text, records,
        {"Parameters stroke the stroke [list size=n] stamp_char() Stamps a char. Warning: Dries the stroke. "
         "[list size=n] stamp_int() Stamps an int."},
        {0, 1, 0});
    EXPECT_EQ(located[0].word, 6);
    EXPECT_EQ(located[1].word, 10);
    EXPECT_EQ(located[2].word, 16);
}

TEST(AnchorWordTrail, AHeadingPaintedFirstOnItsPageTakesItsNameThere)
{
    // Floated headings come first in the page's painting order, before the text they stand in:
    // the trail leaps over their words when the code that follows them comes, and their names
    // land on the headings where they were painted, not on that code.
    const std::string text = "Intro words of the class here.\nMember Notes\n\u25c6\u00a0stroke_type\n"
                             "template <class T_ink>\ntypedef base stroke_type\n\u25c6\u00a0nib_\nconst T_nib* nib_";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"\u25c6\u00a0stroke_type", "\u25c6\u00a0nib_"});
    const std::vector<Located> located = follow(
        text, records,
        {QStringLiteral("\u25c6 stroke_type / \u25c6 nib_ / Intro words of the class here. Member Notes template "
                        "<class T_ink> typedef base stroke_type const T_nib* nib_")});
    EXPECT_EQ(located[0].page, 0);
    EXPECT_EQ(located[0].word, 0);
    EXPECT_EQ(located[1].word, 2);
}

TEST(AnchorWordTrail, AFewWordsAtAPagesEndDoNotLeapPagesAhead)
{
    // A page ends in a code example's last prompts, painted apart from the text the trail stands
    // in; the same prompts recur in an example pages of text further on. The name in between
    // lands on its own page, not on those last words.
    const auto sentences = [](const char* kind, int from, int to) {
        std::string text;
        for (int i = from; i < to; ++i)
            text += std::string(kind) + " sentence number " + std::to_string(i) + " explains one more detail of it.\n";
        return text;
    };
    const std::string text = "Intro of the examples.\n" + sentences("Filler", 0, 60) + "next_section\nMore text.\n" + sentences("Other", 0, 60) + ">>> Sheet('blank').dry() >>> \nThe end.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"next_section"});
    const QString first = QString::fromStdString("Intro of the examples. " + sentences("Filler", 0, 30)).simplified();
    const QString second = QString::fromStdString(sentences("Filler", 30, 60)).simplified();
    const std::vector<Located> located =
        follow(text, records,
               {first + QStringLiteral(" >>> Sheet('blank').dry() >>>"), second + QStringLiteral(" next_section More text.")});
    EXPECT_EQ(located[0].page, 1);
    EXPECT_EQ(located[0].word, static_cast<int>(second.split(QLatin1Char(' ')).size()));
}

TEST(AnchorWordTrail, AHeadingLeftAtThePagesFootTakesItsNameThere)
{
    // The engine keeps a member's box whole on the next page, while its floated heading stays at
    // the foot of the page before, painted first there: the name lands on the heading. A heading
    // that reads alike higher up that page, among text that went on, is another one.
    const std::string text = "Intro words of the class here.\n\u25c6\u00a0operator()()\ntemplate <class T_ink>\n"
                             "T_ink operator()() const\nCalls the method.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"\u25c6\u00a0operator", "Calls"});
    std::vector<PDFCore::LocatorWord> before = pageWords(QStringLiteral("\u25c6 operator()() / Intro words of the class here."));
    before[0].yMin = before[1].yMin = 700.0; // painted first, at the foot
    const std::vector<PDFCore::LocatorWord> after =
        pageWords(QStringLiteral("template <class T_ink> T_ink operator()() const Calls the method."));
    AnchorWordTrail trail(text, records);
    trail.followPage(before);
    EXPECT_EQ(records[0].found, 0);
    trail.followPage(after);
    EXPECT_EQ(records[0].found, AnchorWordTrail::kFoundOnPageBefore);
    EXPECT_EQ(records[0].x, 0.0);
    EXPECT_EQ(records[1].found, 1);
    EXPECT_EQ(records[1].x, 6.0);

    // The same heading above the text that went on is not left at the foot: the name goes with
    // the text on the next page.
    std::vector<TextOffsetRecord> again = recordsAt(text, {"\u25c6\u00a0operator", "Calls"});
    AnchorWordTrail other(text, again);
    other.followPage(pageWords(QStringLiteral("\u25c6 operator()() / Intro words of the class here.")));
    other.followPage(after);
    EXPECT_EQ(again[0].found, 1);
}

TEST(AnchorWordTrail, ALeapNeverLandsInsideAName)
{
    // The page's word "blotter_type" reads on like the end of "quill::blotter_type" a little
    // further on, but a page breaks no word inside a name: the trail leaps to where the word
    // stands on its own.
    const std::string text = "Start of the text.\nquill::blotter_type result_value again here.\n"
                             "Middle words that the page leaves out entirely.\nblotter_type result_value again here.\nEnd.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"Middle", "\nblotter_type"});
    records[1].charOffset += 1;
    const std::vector<Located> located =
        follow(text, records, {QStringLiteral("Start of the text. blotter_type result_value again here. End.")});
    EXPECT_EQ(located[1].page, 0);
    EXPECT_EQ(located[1].word, 4);
}

// Member headings floated the way generated references float them: painted first on their page,
// before the text they stand in, and reading alike but for an overload's number.
class FloatedHeadings : public testing::Test {
protected:
    static std::string member(int number)
    {
        const std::string n = std::to_string(number);
        return "\u25c6\u00a0reink() [" + n + "/3]\ntemplate <class T_nib> reink_nib<T_nib> quill::reink(const T_nib& n" + n + ")\nMakes stroke number " + n + " of the kind asked for.\n";
    }
    static QString flow(int number)
    {
        const QString n = QString::number(number);
        return QStringLiteral("template <class T_nib> reink_nib<T_nib> / quill::reink(const T_nib& n") + n + QStringLiteral(") / Makes stroke number ") + n + QStringLiteral(" of the kind asked for. / ");
    }
    // A heading's words painted first, on a line of their own at `y` points down the page.
    static std::vector<PDFCore::LocatorWord> withHeadingsFirst(const QString& flowWords, const std::vector<std::pair<int, double>>& headings)
    {
        std::vector<PDFCore::LocatorWord> page;
        for (const auto& [number, y] : headings) {
            for (PDFCore::LocatorWord word : pageWords(QStringLiteral("\u25c6 reink() [%1/3]").arg(number))) {
                word.yMin = y;
                word.xMin += static_cast<double>(page.size()) * 0.01;
                page.push_back(word);
            }
        }
        for (PDFCore::LocatorWord word : pageWords(flowWords)) {
            word.xMin += 100.0;
            page.push_back(word);
        }
        return page;
    }

    const std::string m_text = "Intro words of the group here.\n" + member(1) + member(2) + member(3);
};

TEST_F(FloatedHeadings, NamesLandOnTheirOwnHeadingsNotOnOnesThatReadAlike)
{
    // The first heading is left at the foot of the first page; the next page paints the two
    // others first, the text after the first heading then. The trail neither follows the second
    // heading for the first (they read alike but for their number) nor leaps to the headings
    // over the text that comes before them on the page.
    std::vector<TextOffsetRecord> records = recordsAt(m_text, {"\u25c6\u00a0reink() [1", "\u25c6\u00a0reink() [2", "\u25c6\u00a0reink() [3", "Makes stroke number 3"});
    AnchorWordTrail trail(m_text, records);
    std::vector<PDFCore::LocatorWord> first = withHeadingsFirst(QStringLiteral("Intro words of the group here."), {{1, 700.0}});
    trail.followPage(first);
    const std::vector<PDFCore::LocatorWord> second =
        withHeadingsFirst(flow(1) + flow(2) + flow(3), {{2, 150.0}, {3, 210.0}});
    trail.followPage(second);

    EXPECT_EQ(records[0].found, AnchorWordTrail::kFoundOnPageBefore);
    EXPECT_EQ(records[0].y, 700.0 - 2.0);
    EXPECT_EQ(records[1].found, 1);
    EXPECT_EQ(records[1].y, 150.0 - 2.0);
    EXPECT_EQ(records[2].found, 1);
    EXPECT_EQ(records[2].y, 210.0 - 2.0);
    // The text after the headings is followed where it is painted.
    EXPECT_EQ(records[3].found, 1);
    EXPECT_EQ(records[3].y, 100.0 + 8 * 20.0 - 2.0);
}

TEST(AnchorWordTrail, ATopicsFirstLineBeginsItsTextEvenWhereItGoesOnWithWordsTheTextLacks)
{
    // Only once the text has begun is a short line that reads on and then does not taken for a
    // heading painted ahead of its turn: the topic's first words are where it begins.
    const std::string text = "Title\nBody words of the page.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"Title"});
    const std::vector<Located> located = follow(text, records, {QStringLiteral("Title Extra / Body words of the page.")});
    EXPECT_EQ(located[0].page, 0);
    EXPECT_EQ(located[0].word, 0);
}

TEST(AnchorWordTrail, APagesLastWordsDoNotLeapOverANamesText)
{
    // The page ends in a row's annotation that the text holds only after the next heading, which
    // the engine prints on the next page: the heading's name goes there, with its text.
    const std::string text = "Parameters\nsheet the quire to copy.\nnext_function()\nCopies it.\n[never empty]\n"
                             "More words after the annotation.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"next_function"});
    const std::vector<Located> located =
        follow(text, records, {"Parameters sheet the quire to copy. [never empty]", "next_function() Copies it. More words after the annotation."});
    EXPECT_EQ(located[0].page, 1);
    EXPECT_EQ(located[0].word, 0);
}

TEST(AnchorWordTrail, APagesLastWordsLeapOverTextTheyFollowWhenThePageHasPaintedItAlready)
{
    // A source listing: a floated link begins each marked block and is painted before the page's
    // lines. A block's first line ends the page; the link it follows was painted on this page, so
    // the block's name stays here with its line.
    const std::string text = "return parent_ink\n\n\n[view]class SmudgeError(QuillsError):\n"
                             "    \"Transcription error.\"\n    severity = 'Transcription error'\n";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"[view]"});
    const std::vector<Located> located = follow(
        text, records, {"[view] / return parent_ink / class SmudgeError(QuillsError): \"Transcription error.\"", "severity = 'Transcription error'"});
    EXPECT_EQ(located[0].page, 0);
}

TEST(AnchorWordTrail, AShortFirstPageBeginsTheTextEvenOverNamesItLeapsTo)
{
    // A page of pictures: its first page shows a title and a line only, past a menu only the
    // screen shows and the names the menu holds; the words begin the text there all the same.
    const std::string text = "Quillet 1.0 Switch side menu appearance Home Desk Sheaves Quire\nSheet Genealogy\n"
                             "Go to the written sheet genealogy\n\n\n\nPublished by 1.9.4";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"Home Desk", "Go to", "Published"});
    const std::vector<Located> located =
        follow(text, records, {"Sheet Genealogy Go to the written sheet genealogy", "Published by 1.9.4"});
    EXPECT_EQ(located[0].page, 0);
    EXPECT_EQ(located[1].page, 0);
    EXPECT_EQ(located[1].word, 2);
    EXPECT_EQ(located[2].page, 1);
}

TEST(AnchorWordTrail, ALeapNeverLandsAfterAnUnderscoreInsideAName)
{
    // As above, with the name joined by an underscore: "adaptor_type" also ends "my_adaptor_type".
    const std::string text = "Start of the text.\nmy_adaptor_type result_value again here.\n"
                             "Middle words that the page leaves out entirely.\nadaptor_type result_value again here.\nEnd.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"Middle", "\nadaptor_type"});
    records[1].charOffset += 1;
    const std::vector<Located> located =
        follow(text, records, {QStringLiteral("Start of the text. adaptor_type result_value again here. End.")});
    EXPECT_EQ(located[1].page, 0);
    EXPECT_EQ(located[1].word, 4);
}
