#include "PrintedFontFiles.h"
#include "platform/PdfDocument.h"
#include "SharedFontsCheck.h"
#include "platform/pdffonts/ToUnicodeCMap.h"

#include <gtest/gtest.h>

using PrintedFontFiles::Line;
using PrintedFontFiles::printedPages;
using SharedFontsCheck::copiedPages;
using SharedFontsCheck::expectSameReading;
using SharedFontsCheck::programsByFace;

namespace {

Line line(const QString& text, const std::string& face = "DejaVuSans")
{
    Line printed;
    printed.text = text;
    printed.postScriptName = face;
    return printed;
}

std::string utf16(const char16_t* text)
{
    std::string bytes;
    for (; *text != 0; ++text)
        bytes += std::string{static_cast<char>(*text >> 8), static_cast<char>(*text & 0xFF)};
    return bytes;
}

// Each topic printed on its own, as the export does.
std::vector<QByteArray> topics(const std::vector<std::vector<Line>>& pages)
{
    std::vector<QByteArray> printed;
    for (const std::vector<Line>& lines : pages)
        printed.push_back(printedPages(lines));
    return printed;
}

} // namespace

TEST(PdfSharedFontsTest, SubsetsOfOneFaceShareOneProgramAndReadTheSame)
{
    const std::vector<QByteArray> printed = topics({
        {line(QStringLiteral("Hello world")), line(QStringLiteral("Bold words"), "DejaVuSans-Bold")},
        {line(QStringLiteral("Quick fox jumps")), line(QStringLiteral("Привет, мир! Ωμέγα"))},
        {line(QStringLiteral("x := List[0];"), "DejaVuSansMono"), line(QStringLiteral("Bold again"), "DejaVuSans-Bold")},
    });
    const QByteArray plain = copiedPages(printed, false);
    const QByteArray shared = copiedPages(printed, true);
    EXPECT_EQ(programsByFace(plain), (std::map<std::string, int>{{"DejaVuSans", 3}, {"DejaVuSans-Bold", 2}, {"DejaVuSansMono", 1}}));
    EXPECT_EQ(programsByFace(shared), (std::map<std::string, int>{{"DejaVuSans", 1}, {"DejaVuSans-Bold", 1}, {"DejaVuSansMono", 1}}));
    expectSameReading(plain, shared);
    EXPECT_EQ(SharedFontsCheck::qpdfCheckProblems(shared), QString());
}

TEST(PdfSharedFontsTest, SubsetsThatMapAGlyphToOtherTextGetASharedFontOfTheirOwn)
{
    // The same glyph read as "H" on one page and as "X" on the other: one map cannot say both.
    Line other = line(QStringLiteral("Help"));
    other.toUnicodeOverride[43] = utf16(u"X"); // DejaVu Sans's glyph of "H"
    const std::vector<QByteArray> printed = topics({{line(QStringLiteral("Hello"))}, {other}, {line(QStringLiteral("Hat"))}});
    const QByteArray plain = copiedPages(printed, false);
    const QByteArray shared = copiedPages(printed, true);
    EXPECT_EQ(programsByFace(shared), (std::map<std::string, int>{{"DejaVuSans", 2}}));
    expectSameReading(plain, shared);
    EXPECT_EQ(SharedFontsCheck::qpdfCheckProblems(shared), QString());
}

TEST(PdfSharedFontsTest, SubsetsOfAFaceNotInstalledAreMergedGlyphByGlyphWhereTheyAgree)
{
    // A web font: its file is not on the machine, only its subsets are.
    auto webFont = [](const QString& text, bool altered = false) {
        Line printed = line(text);
        printed.baseFont = "AAAAAA+NoSuchFaceAnywhere";
        printed.alterGlyphs = altered;
        return printed;
    };
    const std::vector<QByteArray> merged = topics({{webFont(QStringLiteral("Web font"))},
                                                   {webFont(QStringLiteral("Fonts on the web")), line(QStringLiteral("Plain"))},
                                                   {webFont(QStringLiteral("Zebra quilts"))}});
    EXPECT_EQ(programsByFace(copiedPages(merged, true)), (std::map<std::string, int>{{"NoSuchFaceAnywhere", 1}, {"DejaVuSans", 1}}));
    expectSameReading(copiedPages(merged, false), copiedPages(merged, true));
    EXPECT_EQ(SharedFontsCheck::qpdfCheckProblems(copiedPages(merged, true)), QString());

    // A subset that draws a glyph the others hold differently keeps a program apart; so does one
    // whose outlines are not those of the installed file of its name.
    const std::vector<QByteArray> disagreeing = topics({{webFont(QStringLiteral("Web font"))}, {webFont(QStringLiteral("Web font"), true)}, {line(QStringLiteral("Plain"))}, {[] {
                                                            Line altered = line(QStringLiteral("Altered outline"));
                                                            altered.alterGlyphs = true;
                                                            return altered;
                                                        }()}});
    EXPECT_EQ(programsByFace(copiedPages(disagreeing, true)), (std::map<std::string, int>{{"NoSuchFaceAnywhere", 2}, {"DejaVuSans", 2}}));
    expectSameReading(copiedPages(disagreeing, false), copiedPages(disagreeing, true));
}

TEST(PdfSharedFontsTest, FontsOfOtherKindsStayAsPrinted)
{
    // A simple TrueType font (one-byte codes) is left alone; the composite one beside it is shared.
    Line simple = line(QStringLiteral("Simple"));
    simple.simpleFont = true;
    const std::vector<QByteArray> printed = topics({{simple, line(QStringLiteral("Composite"))}, {simple, line(QStringLiteral("Again"))}});
    EXPECT_EQ(programsByFace(copiedPages(printed, true)), (std::map<std::string, int>{{"DejaVuSans", 3}}));
    expectSameReading(copiedPages(printed, false), copiedPages(printed, true));
}

TEST(PdfSharedFontsTest, ADocumentWrittenAgainAfterMorePagesHoldsTheirGlyphsToo)
{
    const QByteArray first = printedPages({line(QStringLiteral("abc"))});
    const QByteArray second = printedPages({line(QStringLiteral("xyz"))});
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    output->shareFontsOfCopiedPages();
    for (const QByteArray& bytes : {first, second}) {
        const std::unique_ptr<PdfDocument> source = PdfDocument::open(bytes);
        ASSERT_TRUE(source);
        ASSERT_TRUE(output->appendPageCopy(*source, 0));
        ASSERT_FALSE(output->toBytes().isEmpty());
    }
    expectSameReading(copiedPages({first, second}, false), output->toBytes());
}

TEST(ToUnicodeCMapTest, ReadsCharactersRangesAndArraysAndWritesThemBack)
{
    const std::optional<ToUnicodeCMap::Map> map = ToUnicodeCMap::parse(
        "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
        "2 beginbfchar <0003> <0020> <0CF3> <00660069> endbfchar\n"
        "2 beginbfrange <0024> <0026> <0041> <0030> <0031> [<0061> <D835DC00>] endbfrange\n"
        "endcmap CMapName currentdict /CMap defineresource pop end end");
    ASSERT_TRUE(map);
    const ToUnicodeCMap::Map expected{{0x0003, utf16(u" ")}, {0x0CF3, utf16(u"fi")}, {0x0024, utf16(u"A")}, {0x0025, utf16(u"B")}, {0x0026, utf16(u"C")}, {0x0030, utf16(u"a")}, {0x0031, utf16(u"\U0001D400")}};
    EXPECT_EQ(*map, expected);
    EXPECT_EQ(ToUnicodeCMap::parse(ToUnicodeCMap::write(*map)), map);

    // Other code lengths, CID mappings and cut-off sections cannot be merged safely.
    EXPECT_FALSE(ToUnicodeCMap::parse("1 beginbfchar <03> <0020> endbfchar"));
    EXPECT_FALSE(ToUnicodeCMap::parse("1 begincidrange <0000> <00FF> 0 endcidrange"));
    EXPECT_FALSE(ToUnicodeCMap::parse("1 beginbfrange <0010> <0012> [<0041>] endbfrange"));
    EXPECT_FALSE(ToUnicodeCMap::parse("1 beginbfchar <0003> <0020>"));
    EXPECT_FALSE(ToUnicodeCMap::parse("1 beginbfrange <0001> <0002> <FFFF> endbfrange"));
}
