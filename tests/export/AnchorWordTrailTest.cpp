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
    const std::string text = "Theme Go files calls\n" + screenOnlyContents()
                             + "\nfiles calls\nEvery call below lists what the module offers, in order.\nopen_entry(path)\nOpens an entry.\n"
                               "close_entry(path)\nCloses it.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"Every", "open_entry", "close_entry"});
    const std::vector<Located> located =
        follow(text, records, {"files calls Every call below lists what the module offers, in order. open_entry(path) Theme Go", "Opens an entry. close_entry(path) Closes it. Theme Go"});
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
    const std::string text = "Join the queue without a deadlock.\ncancel_join_thread()\nPrevents joining.\n"
                             "close()\nCloses it.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"cancel_join_thread", "close()"});
    const std::vector<Located> located =
        follow(text, records,
               {"Join the queue without a deadlock. c l j i th d ()", "cancel_join_thread() Prevents joining. c",
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
                             "Availability: Unix, not WASI.\nB text.\nAvailability: Unix, not WASI.\nC text.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"Then", "files.open_y", "B text", "C text"});
    const std::vector<Located> located =
        follow(text, records,
               {"Intro text here. Then the prose goes on. import files with files.open_x() as item: print(item)",
                "files.open_y(path) Opens y. Availability: Unix, not WASI.",
                "Availability: Unix, not WASI. B text. Availability: Unix,", "not WASI. C text."});
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
    // Words the text does not hold stand before two headings ("[array length=n]", the cells of a
    // table painted out of order), and a note's generated "Warning:" before its text. The empty
    // names before the headings print nothing of their own: they land on the headings, not on the
    // stray words above them; the note begins at its label.
    const std::string text = "Parameters\nclosure the closure\nmarshal_char()\nMarshals a char.\n"
                             "Closes the closure.\nmarshal_int()\nMarshals an int.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"marshal_char", "Closes", "marshal_int"});
    const std::vector<Located> located = follow(
        text, records,
        {"Parameters closure the closure [array length=n] marshal_char() Marshals a char. Warning: Closes the closure. "
         "[array length=n] marshal_int() Marshals an int."},
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
    const std::string text = "Intro words of the class here.\nMember Documentation\n\u25c6\u00a0function_type\n"
                             "template <class T_return>\ntypedef base function_type\n\u25c6\u00a0obj_\nconst T_obj* obj_";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"\u25c6\u00a0function_type", "\u25c6\u00a0obj_"});
    const std::vector<Located> located = follow(
        text, records,
        {QStringLiteral("\u25c6 function_type / \u25c6 obj_ / Intro words of the class here. Member Documentation template "
                        "<class T_return> typedef base function_type const T_obj* obj_")});
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
    const std::string text = "Intro of the examples.\n" + sentences("Filler", 0, 60) + "next_section\nMore text.\n" + sentences("Other", 0, 60) + ">>> MyTest('test_foo').run() >>> \nThe end.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"next_section"});
    const QString first = QString::fromStdString("Intro of the examples. " + sentences("Filler", 0, 30)).simplified();
    const QString second = QString::fromStdString(sentences("Filler", 30, 60)).simplified();
    const std::vector<Located> located =
        follow(text, records,
               {first + QStringLiteral(" >>> MyTest('test_foo').run() >>>"), second + QStringLiteral(" next_section More text.")});
    EXPECT_EQ(located[0].page, 1);
    EXPECT_EQ(located[0].word, static_cast<int>(second.split(QLatin1Char(' ')).size()));
}

TEST(AnchorWordTrail, AHeadingLeftAtThePagesFootTakesItsNameThere)
{
    // The engine keeps a member's box whole on the next page, while its floated heading stays at
    // the foot of the page before, painted first there: the name lands on the heading. A heading
    // that reads alike higher up that page, among text that went on, is another one.
    const std::string text = "Intro words of the class here.\n\u25c6\u00a0operator()()\ntemplate <class T_return>\n"
                             "T_return operator()() const\nCalls the method.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"\u25c6\u00a0operator", "Calls"});
    std::vector<PDFCore::LocatorWord> before = pageWords(QStringLiteral("\u25c6 operator()() / Intro words of the class here."));
    before[0].yMin = before[1].yMin = 700.0; // painted first, at the foot
    const std::vector<PDFCore::LocatorWord> after =
        pageWords(QStringLiteral("template <class T_return> T_return operator()() const Calls the method."));
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
    // The page's word "adaptor_type" reads on like the end of "sigc::adaptor_type" a little
    // further on, but a page breaks no word inside a name: the trail leaps to where the word
    // stands on its own.
    const std::string text = "Start of the text.\nsigc::adaptor_type result_value again here.\n"
                             "Middle words that the page leaves out entirely.\nadaptor_type result_value again here.\nEnd.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"Middle", "\nadaptor_type"});
    records[1].charOffset += 1;
    const std::vector<Located> located =
        follow(text, records, {QStringLiteral("Start of the text. adaptor_type result_value again here. End.")});
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
        return "\u25c6\u00a0retype() [" + n + "/3]\ntemplate <class T_functor> retype_functor<T_functor> sigc::retype(const T_functor& f" + n + ")\nCreates adaptor number " + n + " of the kind asked for.\n";
    }
    static QString flow(int number)
    {
        const QString n = QString::number(number);
        return QStringLiteral("template <class T_functor> retype_functor<T_functor> / sigc::retype(const T_functor& f") + n + QStringLiteral(") / Creates adaptor number ") + n + QStringLiteral(" of the kind asked for. / ");
    }
    // A heading's words painted first, on a line of their own at `y` points down the page.
    static std::vector<PDFCore::LocatorWord> withHeadingsFirst(const QString& flowWords, const std::vector<std::pair<int, double>>& headings)
    {
        std::vector<PDFCore::LocatorWord> page;
        for (const auto& [number, y] : headings) {
            for (PDFCore::LocatorWord word : pageWords(QStringLiteral("\u25c6 retype() [%1/3]").arg(number))) {
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
    std::vector<TextOffsetRecord> records = recordsAt(m_text, {"\u25c6\u00a0retype() [1", "\u25c6\u00a0retype() [2", "\u25c6\u00a0retype() [3", "Creates adaptor number 3"});
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
    const std::string text = "Parameters\nboxed the structure to copy.\nnext_function()\nCopies it.\n[not nullable]\n"
                             "More words after the annotation.";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"next_function"});
    const std::vector<Located> located =
        follow(text, records, {"Parameters boxed the structure to copy. [not nullable]", "next_function() Copies it. More words after the annotation."});
    EXPECT_EQ(located[0].page, 1);
    EXPECT_EQ(located[0].word, 0);
}

TEST(AnchorWordTrail, APagesLastWordsLeapOverTextTheyFollowWhenThePageHasPaintedItAlready)
{
    // A source listing: a floated link begins each marked block and is painted before the page's
    // lines. A block's first line ends the page; the link it follows was painted on this page, so
    // the block's name stays here with its line.
    const std::string text = "return parent_str\n\n\n[docs]class ConfigError(SphinxError):\n"
                             "    \"Configuration error.\"\n    category = 'Configuration error'\n";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"[docs]"});
    const std::vector<Located> located = follow(
        text, records, {"[docs] / return parent_str / class ConfigError(SphinxError): \"Configuration error.\"", "category = 'Configuration error'"});
    EXPECT_EQ(located[0].page, 0);
}

TEST(AnchorWordTrail, AShortFirstPageBeginsTheTextEvenOverNamesItLeapsTo)
{
    // A page of pictures: its first page shows a title and a line only, past a menu only the
    // screen shows and the names the menu holds; the words begin the text there all the same.
    const std::string text = "Project 1.0 Toggle main menu visibility Main Page Classes Files\nClass Hierarchy\n"
                             "Go to the textual class hierarchy\n\n\n\nGenerated by 1.9.4";
    std::vector<TextOffsetRecord> records = recordsAt(text, {"Main Page", "Go to", "Generated"});
    const std::vector<Located> located =
        follow(text, records, {"Class Hierarchy Go to the textual class hierarchy", "Generated by 1.9.4"});
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
