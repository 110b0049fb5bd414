#include "export/pdfcore/TextOffsetLocator.h"

#include <UnicodeMap.h>
#include <UnicodeMapFuncs.h>

#include <QList>
#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using PDFCore::LocatorWord;

namespace {

const UnicodeMap& utf8()
{
    static const UnicodeMap map("UTF-8", true, &mapUTF8);
    return map;
}

// A page word at (x, y) from its UTF-8 text.
LocatorWord word(const char* text, double x, double y = 100.0)
{
    LocatorWord w;
    for (const char32_t c : QString::fromUtf8(text).toUcs4())
        w.chars.push_back(static_cast<Unicode>(c));
    w.xMin = x;
    w.yMin = y;
    return w;
}

// The topic text in a buffer of exactly its size, with nothing after it, so that any read past its end
// is caught by the address sanitizer.
class ExactText
{
public:
    explicit ExactText(const std::string& text) : size(text.size()), bytes(new char[text.size()])
    {
        std::copy(text.begin(), text.end(), bytes.get());
    }
    std::string_view view() const { return {bytes.get(), size}; }

private:
    std::size_t size;
    std::unique_ptr<char[]> bytes;
};

std::string filler(std::size_t n)
{
    return std::string(n, '.');
}

struct LocatorCase
{
    const char* name;
    std::string text;
    std::vector<LocatorWord> words;
    std::vector<std::uint32_t> recordOffsets;
    std::int32_t startOffset = 0;
    std::int32_t startIndex = 0;
    int result = 0;
    std::int32_t endOffset = 0;
    std::int32_t endIndex = 0;
    std::vector<int> locatedAtX; // per record: x of the word that located it, -1 when not located
};

void PrintTo(const LocatorCase& c, std::ostream* os)
{
    *os << c.name;
}

std::string caseName(const testing::TestParamInfo<LocatorCase>& info)
{
    return info.param.name;
}

class LocatorTable : public testing::TestWithParam<LocatorCase> {};

TEST_P(LocatorTable, MatchesWordsAndLocatesRecords)
{
    const LocatorCase& c = GetParam();
    const ExactText text(c.text);
    std::vector<TextOffsetRecord> records(c.recordOffsets.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        records[i].charOffset = c.recordOffsets[i];
    std::int32_t offset = c.startOffset;
    std::int32_t index = c.startIndex;

    const int result = PDFCore::locateTextOffsets(c.words, &utf8(), text.view(), offset, records, index);

    EXPECT_EQ(result, c.result);
    EXPECT_EQ(offset, c.endOffset);
    EXPECT_EQ(index, c.endIndex);
    ASSERT_EQ(c.locatedAtX.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "record " << i);
        if (c.locatedAtX[i] < 0) {
            EXPECT_EQ(records[i].found, 0);
            EXPECT_EQ(records[i].x, 0.0);
            EXPECT_EQ(records[i].y, 0.0);
        } else {
            EXPECT_EQ(records[i].found, 1);
            EXPECT_EQ(records[i].x, c.locatedAtX[i]);
            EXPECT_EQ(records[i].y, 98.0); // 2 points above the word's top
        }
    }
}

// "target" lies 50 bytes beyond the offset reached when the stray word "zz" is met.
const std::string kFiftyAhead = "Intro " + filler(50) + "target rest";

INSTANTIATE_TEST_SUITE_P(
    Cases, LocatorTable,
    testing::Values(
        LocatorCase{"HelloWorld", "Hello world", {word("Hello", 10), word("world", 60)}, {6, 100}, 0, 0,
                    PDFCore::kLocateMatched, 11, 1, {60, -1}},
        LocatorCase{"OffsetZeroTakesFirstWord", "Hello world", {word("Hello", 10), word("world", 60)}, {0, 11}, 0,
                    0, PDFCore::kLocateMatched, 11, 1, {10, -1}},
        LocatorCase{"NoBreakSpaceIsASpace", "Hello\xC2\xA0world", {word("Hello", 10), word("world", 60)}, {7, 100}, 0, 0,
                    PDFCore::kLocateMatched, 12, 1, {60, -1}},
        LocatorCase{"MixedWhitespace", "\t\r\n Hello \n\tworld", {word("Hello", 10), word("world", 60)}, {11, 100},
                    0, 0, PDFCore::kLocateMatched, 17, 1, {60, -1}},
        LocatorCase{"UTF8Words", "Gr\xC3\xBC\xC3\x9F" "e Welt", {word("Gr\xC3\xBC\xC3\x9F" "e", 10), word("Welt", 60)},
                    {8, 100}, 0, 0, PDFCore::kLocateMatched, 12, 1, {60, -1}},
        LocatorCase{"StrayBulletLeavesOffset", "First item", {word("\xE2\x80\xA2", 5), word("First", 10),
                    word("item", 60)}, {6, 100}, 0, 0, PDFCore::kLocateMatched, 10, 1, {60, -1}},
        LocatorCase{"SecondMismatchResyncsFiftyAhead", kFiftyAhead, {word("Intro", 0), word("zz", 5),
                    word("target", 10), word("rest", 20)}, {56, 63}, 0, 0, PDFCore::kLocateMatched, 67, 1, {20, -1}},
        LocatorCase{"ResyncReachIsNinetyNine", "a " + filler(99) + "hit", {word("a", 0), word("zz", 5),
                    word("hit", 10)}, {1000}, 0, 0, PDFCore::kLocateMatched, 104, 0, {-1}},
        LocatorCase{"ResyncBeyondReachAdvancesByWord", "a " + filler(100) + "hit", {word("a", 0), word("zz", 5),
                    word("hit", 10)}, {1000}, 0, 0, PDFCore::kLocateMatched, 5, 0, {-1}},
        LocatorCase{"SecondMismatchAbsentAdvancesByWord", "one two three four", {word("one", 0), word("xx", 5),
                    word("yyyy", 10), word("three", 20)}, {1000}, 0, 0, PDFCore::kLocateMatched, 13, 0, {-1}},
        LocatorCase{"SameOffsetOnSuccessiveWords", "alpha beta gamma", {word("alpha", 0), word("beta", 40),
                    word("gamma", 80)}, {6, 6, 11}, 0, 0, PDFCore::kLocateMatched, 16, 2, {40, 80, -1}},
        LocatorCase{"AllRecordsLocatedStopsTheWalk", "alpha beta gamma", {word("alpha", 0), word("beta", 40),
                    word("gamma", 80)}, {6}, 0, 0, PDFCore::kLocateMatched, 6, 1, {40}},
        LocatorCase{"ResumesFromCarriedOffsetAndIndex", "page one page two", {word("page", 0), word("two", 40)},
                    {0, 14}, 9, 1, PDFCore::kLocateMatched, 14, 2, {-1, 40}},
        LocatorCase{"NoRecordsChangesNothing", "Hello", {word("Hello", 0)}, {}, 2, 0, PDFCore::kLocateMatched, 2, 0,
                    {}},
        LocatorCase{"IndexAtCountChangesNothing", "Hello", {word("Hello", 0)}, {0}, 2, 1, PDFCore::kLocateMatched, 2,
                    1, {-1}},
        LocatorCase{"NegativeIndexChangesNothing", "Hello", {word("Hello", 0)}, {0}, 2, -1,
                    PDFCore::kLocateMatched, 2, -1, {-1}},
        LocatorCase{"PageWithoutWords", "Hello", {}, {0}, 0, 0, PDFCore::kLocateMatched, 0, 0, {-1}},
        LocatorCase{"ResyncedWordStillMismatchingFails", "ab  x x", {word("ab", 0), word("q", 5), word(" x", 9),
                    word("x", 12)}, {0, 6}, 0, 0, PDFCore::kLocateFailed, 6, 1, {0, -1}}),
    caseName);

// The topic text is never read beyond its end, whatever the page holds.
INSTANTIATE_TEST_SUITE_P(
    TextEnd, LocatorTable,
    testing::Values(
        LocatorCase{"WordLongerThanRestOfText", "Hel", {word("Hello", 0)}, {3}, 0, 0, PDFCore::kLocateMatched, 0, 0,
                    {-1}},
        LocatorCase{"WordsBeyondTheEndStayAtTheEnd", "ab", {word("ab", 0), word("cdef", 5), word("ghijkl", 9),
                    word("mn", 12)}, {1000}, 0, 0, PDFCore::kLocateMatched, 2, 0, {-1}},
        LocatorCase{"ResyncSearchStopsAtTheEnd", "abc", {word("x", 0), word("cd", 4)}, {1000}, 0, 0,
                    PDFCore::kLocateMatched, 2, 0, {-1}},
        LocatorCase{"OffsetBeyondTextIsItsEnd", "abc", {word("abc", 0), word("d", 4)}, {9}, 40, 0,
                    PDFCore::kLocateMatched, 3, 0, {-1}},
        LocatorCase{"NegativeOffsetIsTheStart", "abc", {word("abc", 0)}, {0, 1000}, -5, 0, PDFCore::kLocateMatched, 3,
                    1, {0, -1}},
        LocatorCase{"LoneLeadByteOfNoBreakSpaceAtEnd", "ab\xC2", {word("ab", 0), word("\xC2\xA0", 3)}, {1000}, 0, 0,
                    PDFCore::kLocateMatched, 2, 0, {-1}},
        LocatorCase{"EmptyText", "", {word("a", 0), word("b", 1), word("c", 2)}, {0}, 0, 0, PDFCore::kLocateMatched,
                    0, 1, {0}}),
    caseName);

TEST(TextOffsetLocator, MissingEncodingFailsWithoutTouchingAnything)
{
    const std::vector<LocatorWord> words{word("Hello", 0)};
    std::vector<TextOffsetRecord> records(1);
    std::int32_t offset = 0;
    std::int32_t index = 0;
    EXPECT_EQ(PDFCore::locateTextOffsets(words, nullptr, "Hello", offset, records, index), PDFCore::kLocateFailed);
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(records[0].found, 0);
}

struct WhitespaceCase
{
    std::string text;
    std::int32_t start;
    std::int32_t end;
};

TEST(TextOffsetLocator, SkipsOnlyTheFourBlanksAndNoBreakSpaces)
{
    const std::vector<WhitespaceCase> cases{
        {" \t\r\nx", 0, 4},         {"\xC2\xA0\xC2\xA0x", 0, 4}, {"\vx", 0, 0},   {"\fx", 0, 0},
        {"x  ", 1, 3},              {"ab\xC2", 2, 2},            {"\xC2\xA1", 0, 0}, {"  ", 2, 2},
        {"a b", 5, 5},              {"  a", -1, -1},
    };
    for (const WhitespaceCase& c : cases) {
        const ExactText text(c.text);
        std::int32_t offset = c.start;
        PDFCore::skipTextWhitespace(text.view(), offset);
        EXPECT_EQ(offset, c.end) << "text '" << c.text << "' from " << c.start;
    }
}

} // namespace
