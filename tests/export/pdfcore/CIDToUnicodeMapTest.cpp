#include "export/pdfcore/CIDToUnicodeMap.h"
#include "export/pdfcore/CoreTextMaps.h"
#include "export/pdfcore/PopplerDataFolder.h"

#include "support/CoreErrorCapture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <map>

using PDFCore::CIDToUnicodeMap;
using PDFCore::UnicodeSequence;

namespace PDFCore {

void PrintTo(const UnicodeSequence& sequence, std::ostream* os)
{
    *os << "<";
    for (std::uint8_t i = 0; i < sequence.length; ++i)
        *os << (i ? " " : "") << std::hex << sequence.values[i] << std::dec;
    *os << ">";
}

} // namespace PDFCore

void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

UnicodeSequence seq(std::initializer_list<Unicode> values)
{
    UnicodeSequence s;
    for (const Unicode v : values)
        s.values[s.length++] = v;
    return s;
}

std::map<CharCode, UnicodeSequence> read(const std::string& text, const PDFCore::ToUnicodeCMapFinder& find = {})
{
    CIDToUnicodeMap map;
    PDFCore::readToUnicodeCMap(text, map, find);
    return map.entries;
}

struct CMapCase
{
    const char* name;
    std::string text;
    std::map<CharCode, UnicodeSequence> entries;
    QStringList warnings;
};

void PrintTo(const CMapCase& c, std::ostream* os)
{
    *os << c.name;
}

std::string cmapCaseName(const testing::TestParamInfo<CMapCase>& caseInfo)
{
    return caseInfo.param.name;
}

class CMapTable : public testing::TestWithParam<CMapCase> {};

TEST_P(CMapTable, ReadsEntriesAndWarns)
{
    const CMapCase& c = GetParam();
    const CoreErrorCapture errors;
    EXPECT_EQ(read(c.text), c.entries);
    EXPECT_EQ(errors.messages(), c.warnings);
}

const QString kIllegalChar = QStringLiteral("Illegal entry in bfchar block in ToUnicode CMap");
const QString kIllegalRange = QStringLiteral("Illegal entry in bfrange block in ToUnicode CMap");
const QString kInvalidChar = QStringLiteral("Invalid entry in bfchar block in ToUnicode CMap");
const QString kInvalidRange = QStringLiteral("Invalid entry in bfrange block in ToUnicode CMap");
const QString kIllegalValue = QStringLiteral("Illegal entry in ToUnicode CMap");

INSTANTIATE_TEST_SUITE_P(
    Cases, CMapTable,
    testing::Values(
        CMapCase{"RangeWithStartValue", "1 beginbfrange <0020> <0022> <0041> endbfrange",
                 {{0x20, seq({0x41})}, {0x21, seq({0x42})}, {0x22, seq({0x43})}}, {}},
        CMapCase{"RangeWithArray", "1 beginbfrange <0005> <0007> [<0061> <00660069> <0063>] endbfrange",
                 {{5, seq({0x61})}, {6, seq({0x66, 0x69})}, {7, seq({0x63})}}, {}},
        CMapCase{"ArrayLongerThanRangeIsPassedOver",
                 "1 beginbfrange <0001> <0002> [<0061> <0062> <0063> <0064>] <0009> <0009> <0041> endbfrange",
                 {{1, seq({0x61})}, {2, seq({0x62})}, {9, seq({0x41})}}, {}},
        CMapCase{"SequenceRangeAddsToLastValue", "1 beginbfrange <0010> <0011> <00660069> endbfrange",
                 {{0x10, seq({0x66, 0x69})}, {0x11, seq({0x66, 0x6A})}}, {}},
        CMapCase{"CharsWithSequences",
                 "2 beginbfchar <0003> <0020> <0004> <D835DC00> endbfchar",
                 {{3, seq({0x20})}, {4, seq({0xD835, 0xDC00})}}, {}},
        CMapCase{"SequenceKeepsEightValues", "1 beginbfchar <01> <000100020003000400050006000700080009> endbfchar",
                 {{1, seq({1, 2, 3, 4, 5, 6, 7, 8})}}, {}},
        CMapCase{"BlanksAndCommentsInsideHex", "1 beginbfchar % a comment <0041>\n< 00 4 1 > <0 0 6 1> endbfchar",
                 {{0x41, seq({0x61})}}, {}},
        CMapCase{"RangeEndAbove16BitsIsLowered", "1 beginbfrange <FFFE> <10005> <0041> endbfrange",
                 {{0xFFFE, seq({0x41})}, {0xFFFF, seq({0x42})}}, {kInvalidRange}},
        CMapCase{"RangeStartAbove16BitsMapsNothing", "1 beginbfrange <10000> <10005> <0041> endbfrange", {},
                 {kInvalidRange}},
        CMapCase{"CharAbove16BitsIsStillEntered", "1 beginbfchar <7FFFFFFF> <0041> endbfchar",
                 {{0x7FFFFFFF, seq({0x41})}}, {kInvalidChar}},
        CMapCase{"OneValuePerLineFormatIsEmpty", "0\n0041\n0042\n3000\n", {}, {}},
        CMapCase{"MalformedEntriesAreSkipped",
                 "1 beginbfchar 41 <0041> <zz> <0042> <0043> <> <0044> <0064> endbfchar "
                 "1 beginbfrange <01> <02> /x <03> <04> <0030> endbfrange",
                 {{0x44, seq({0x64})}, {3, seq({0x30})}, {4, seq({0x31})}},
                 {kIllegalChar, kIllegalChar, kIllegalValue, kIllegalRange}},
        CMapCase{"ChoppedBlocksEndTheirBlock", "1 beginbfchar <01> endbfchar 1 beginbfrange <01> <02> endbfrange "
                 "1 beginbfchar <05> <0035> endbfchar",
                 {{5, seq({0x35})}}, {kIllegalChar, kIllegalRange}},
        CMapCase{"TextEndingInsideAnEntry", "1 beginbfrange <0001> <0003> [<0041> <004", {{1, seq({0x41})}},
                 {kIllegalRange}},
        CMapCase{"LaterEntriesReplaceEarlier", "1 beginbfchar <01> <0041> <01> <0042> endbfchar",
                 {{1, seq({0x42})}}, {}}),
    cmapCaseName);

TEST(CIDToUnicodeCMap, UsedCMapIsReadFirstAndItsNameLookedUp)
{
    const CoreErrorCapture errors;
    std::vector<std::string> asked;
    const auto find = [&asked](const std::string& name) -> std::optional<std::string> {
        asked.push_back(name);
        if (name == "Base")
            return "1 beginbfchar <01> <0041> <02> <0042> endbfchar";
        if (name == "Loop")
            return "/Loop usecmap 1 beginbfchar <09> <0039> endbfchar";
        return std::nullopt;
    };
    const auto entries = read("/Base usecmap 1 beginbfchar <02> <0062> endbfchar /Missing usecmap /Loop usecmap", find);
    EXPECT_EQ(asked, (std::vector<std::string>{"Base", "Missing", "Loop"}));
    EXPECT_EQ(entries, (std::map<CharCode, UnicodeSequence>{{1, seq({0x41})}, {2, seq({0x62})}, {9, seq({0x39})}}));
    EXPECT_EQ(errors.messages(), (QStringList{QStringLiteral("Couldn't find ToUnicode CMap file for 'Missing'"),
                                          QStringLiteral("ToUnicode CMap 'Loop' uses itself")}));
}

class CIDToUnicodeFile : public testing::Test
{
protected:
    TempFolder folder;
};

TEST_F(CIDToUnicodeFile, UsesCMapsFromTheFirstToUnicodeFolderHoldingThem)
{
    folder.write("first/Shared", "1 beginbfchar <01> <0031> endbfchar");
    folder.write("second/Shared", "1 beginbfchar <01> <0032> endbfchar");
    folder.write("second/Only", "1 beginbfchar <02> <0033> endbfchar");
    folder.write("Adobe-Test", "/Shared usecmap /Only usecmap");
    const auto map = PDFCore::parseCIDToUnicodeCMap(folder.path("Adobe-Test"), "Adobe-Test",
                                                    {folder.path("missing"), folder.path("first"), folder.path("second")});
    ASSERT_TRUE(map);
    EXPECT_EQ(map->collection, "Adobe-Test");
    EXPECT_EQ(map->entries, (std::map<CharCode, UnicodeSequence>{{1, seq({0x31})}, {2, seq({0x33})}}));
}

TEST_F(CIDToUnicodeFile, MissingFileIsReportedEachTime)
{
    const CoreErrorCapture errors;
    EXPECT_FALSE(PDFCore::parseCIDToUnicodeCMap(folder.path("nope"), "Adobe-Test", {}));
    EXPECT_FALSE(PDFCore::parseCIDToUnicodeCMap(folder.path("nope"), "Adobe-Test", {}));
    const QString expected = QStringLiteral("Couldn't open cidToUnicode file '%1'").arg(QString::fromStdString(folder.path("nope")));
    EXPECT_EQ(errors.messages(), (QStringList{expected, expected}));
}

TEST(CIDToUnicodeCMap, PopplerLayoutHasOneLinePerIdUpTo16Bits)
{
    CIDToUnicodeMap map;
    map.entries = {{1, seq({0x41})}, {3, seq({0x66, 0x69})}, {4, seq({0x3000})}, {0x10000, seq({0x42})}};
    EXPECT_EQ(PDFCore::popplerCIDToUnicodeText(map), "0\n41\n0\n66\n3000\n");
    EXPECT_EQ(PDFCore::popplerCIDToUnicodeText(CIDToUnicodeMap{}), "");
}

TEST_F(CIDToUnicodeFile, MapsStayReadWhileInTheFourPlaceCacheAndFailedOnesAreTriedAgain)
{
    PDFCore::CoreSettings settings;
    const auto writeMap = [this](const std::string& name, const char* value) {
        folder.write(name.c_str(), QByteArray("1 beginbfchar <01> <") + value + "> endbfchar\n");
    };
    for (const char* name : {"C1", "C2", "C3", "C4", "C5"}) {
        writeMap(name, "0041");
        settings.cidToUnicodeFiles[name] = folder.path(name);
    }
    settings.cidToUnicodeFiles["Late"] = folder.path("Late");
    PDFCore::CoreTextMaps maps(settings);
    const auto first = maps.getCIDToUnicode("C1");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->collection, "C1");
    // Files changed from here on show only when their map is read again.
    for (const char* name : {"C1", "C2", "C3", "C4", "C5"})
        writeMap(name, "005A");
    EXPECT_EQ(maps.getCIDToUnicode("C1"), first);
    maps.getCIDToUnicode("C2");
    maps.getCIDToUnicode("C3");
    maps.getCIDToUnicode("C4");
    EXPECT_EQ(maps.getCIDToUnicode("C1"), first); // found at the back, moved to the front
    maps.getCIDToUnicode("C5");                   // pushes C2 out, not C1
    EXPECT_EQ(maps.getCIDToUnicode("C1"), first);
    EXPECT_EQ(maps.getCIDToUnicode("C2")->entries.at(1), seq({0x5A}));

    const CoreErrorCapture errors;
    EXPECT_FALSE(maps.getCIDToUnicode("Late"));
    writeMap("Late", "0042");
    ASSERT_TRUE(maps.getCIDToUnicode("Late"));
    EXPECT_EQ(maps.getCIDToUnicode("Late")->entries.at(1), seq({0x42}));
    EXPECT_FALSE(maps.getCIDToUnicode("Unnamed"));
    EXPECT_EQ(errors.messages().size(), 1);
}

} // namespace
