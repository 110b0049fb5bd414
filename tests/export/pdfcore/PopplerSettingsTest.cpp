#include "export/pdfcore/CorePDFDocument.h"
#include "export/pdfcore/LocatorTextOutputDev.h"
#include "export/pdfcore/PDFCoreSettings.h"
#include "export/pdfcore/PageDisplay.h"
#include "export/pdfcore/PageWordList.h"

#include "support/CoreErrorCapture.h"
#include "support/ScopedGlobalParams.h"
#include "support/TempFolder.h"
#include "support/TestPdf.h"

#include <GlobalParams.h>
#include <goo/GooString.h>

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Whether a file handed out by the settings opens; closes it.
bool opened(FILE* file)
{
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

// A page whose text is in a CID font of the collection Adobe-Tomefold, without a ToUnicode map of its own:
// its character ids 1, 2, 3 reach Unicode only through the settings' map for that collection.
QByteArray cidFontPage()
{
    return TestPdf::build({
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R /Resources << /Font << /F1 5 0 R >> >> >>",
        TestPdf::stream("BT /F1 24 Tf 72 700 Td <000100020003> Tj ET"),
        "<< /Type /Font /Subtype /Type0 /BaseFont /Foo /Encoding /Identity-H /DescendantFonts [6 0 R] >>",
        "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /Foo /CIDSystemInfo << /Registry (Adobe) /Ordering (Tomefold)"
        " /Supplement 0 >> /FontDescriptor 7 0 R /DW 600 >>",
        "<< /Type /FontDescriptor /FontName /Foo /Flags 4 /FontBBox [0 0 1000 1000] /ItalicAngle 0 /Ascent 800"
        " /Descent -200 /CapHeight 700 /StemV 80 >>",
    });
}

// The same for a font of the collection Adobe-Japan1, showing ids 0x0cd4 and 0x0e8a (U+65E5 and
// U+672C in the collection's own table).
QByteArray japanPage()
{
    return TestPdf::build({
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R /Resources << /Font << /F1 5 0 R >> >> >>",
        TestPdf::stream("BT /F1 24 Tf 72 700 Td <0cd40e8a> Tj ET"),
        "<< /Type /Font /Subtype /Type0 /BaseFont /Foo /Encoding /Identity-H /DescendantFonts [6 0 R] >>",
        "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /Foo /CIDSystemInfo << /Registry (Adobe) /Ordering (Japan1)"
        " /Supplement 6 >> /FontDescriptor 7 0 R /DW 1000 >>",
        "<< /Type /FontDescriptor /FontName /Foo /Flags 4 /FontBBox [0 0 1000 1000] /ItalicAngle 0 /Ascent 800"
        " /Descent -200 /CapHeight 700 /StemV 80 >>",
    });
}

QString firstWordOf(const QByteArray& pdf)
{
    const auto document = PDFCore::CorePDFDocument::fromBytes(pdf);
    if (!document)
        return QStringLiteral("(no document)");
    PDFCore::LocatorTextOutputDev device;
    PDFCore::displayPages(document->document(), device, 1, 1, 72, 72, 0, false, true, false);
    const auto words = PDFCore::pageWords(device);
    if (words.empty())
        return QString();
    QString text;
    for (const Unicode u : words.front().chars)
        text += QChar(static_cast<char16_t>(u));
    return text;
}

class PopplerSettings : public testing::Test
{
protected:
    static void SetUpTestSuite() { PDFCoreSettings::ensureInitialised(); }

    PDFCore::CoreSettingsObjects makeSettings(const char* xpdfrc)
    {
        resources.write("xpdfrc", xpdfrc);
        return PDFCore::makeCoreSettings({std::string(), resources.path(), current.path()});
    }

    TempFolder resources;
    TempFolder current;
};

TEST_F(PopplerSettings, ResourceRelativeCommandsReachTheCore)
{
    resources.write("names", "e000 tomefoldglyph\n");
    resources.write("maps/TF-Enc", "0041 41\n");
    resources.write("cmaps/one/TF-H", "%!PS-Adobe-3.0 Resource-CMap\n");
    resources.write("cmaps/two/TF-H", "shadowed by the first folder\n");
    resources.write("cmaps/two/TF-V", "%!PS-Adobe-3.0 Resource-CMap\n");
    resources.write("tou/TF-UCS", "1 beginbfchar <01> <0041> endbfchar\n");
    resources.write("tou-extra/Base", "1 beginbfchar <02> <0042> endbfchar\n");
    resources.write("fonts/f.pfb", "font");
    const QByteArray fontLine = QByteArray("fontFile TomefoldSans ") + resources.path("fonts/f.pfb").c_str() + "\n";
    const auto settings = makeSettings(QByteArray("nameToUnicode /names\n"
                                                  "unicodeMap TF-Enc /maps/TF-Enc\n"
                                                  "cMapDir Adobe-TF /cmaps/one\n"
                                                  "cMapDir Adobe-TF /cmaps/two\n"
                                                  "toUnicodeDir /tou\n"
                                                  "toUnicodeDir /tou-extra\n"
                                                  + fontLine)
                                           .constData());
    GlobalParams& params = *settings.params;
    EXPECT_EQ(params.mapNameToUnicodeText("tomefoldglyph"), 0xe000u);
    EXPECT_TRUE(opened(params.getUnicodeMapFile("TF-Enc")));
    EXPECT_FALSE(opened(params.getUnicodeMapFile("Other-Enc")));

    const GooString collection("Adobe-TF");
    const GooString horizontal("TF-H");
    const GooString vertical("TF-V");
    const GooString missing("TF-X");
    EXPECT_TRUE(opened(params.findCMapFile(&collection, &horizontal)));
    EXPECT_TRUE(opened(params.findCMapFile(&collection, &vertical)));
    EXPECT_FALSE(opened(params.findCMapFile(&collection, &missing)));
    const GooString toUnicode("TF-UCS");
    const GooString base("Base");
    EXPECT_TRUE(opened(params.findToUnicodeFile(&toUnicode)));
    EXPECT_TRUE(opened(params.findToUnicodeFile(&base)));

    const std::unique_ptr<GooString> font(params.findFontFile("TomefoldSans"));
    ASSERT_TRUE(font);
    EXPECT_EQ(font->toStr(), resources.path("fonts/f.pfb"));
}

TEST_F(PopplerSettings, CollectionMapIsReadAsACMap)
{
    resources.write("maps/Adobe-Tomefold", "/CIDInit /ProcSet findresource begin\n/Base usecmap\n"
                                           "1 beginbfchar <0001> <0041> endbfchar\n"
                                           "1 beginbfchar <0003> <0043> endbfchar\nend\n");
    resources.write("tou/Base", "1 beginbfrange <0002> <0003> <0062> endbfrange\n");
    auto settings = makeSettings("toUnicodeDir /tou\ncidToUnicode Adobe-Tomefold /maps/Adobe-Tomefold\n");
    settings.params->setTextEncoding("UTF-8");
    const ScopedGlobalParams scoped(settings.params);
    EXPECT_EQ(firstWordOf(cidFontPage()), QStringLiteral("AbC"));
}

TEST_F(PopplerSettings, CollectionMapKeepsEveryCharacterOfAnId)
{
    // Id 1 stands for the two letters of a ligature; Poppler's own tables keep one per id.
    resources.write("maps/Adobe-Tomefold", "3 beginbfchar <0001> <00660069> <0002> <0042> <0003> <0043> endbfchar\n");
    auto settings = makeSettings("cidToUnicode Adobe-Tomefold /maps/Adobe-Tomefold\n");
    settings.params->setTextEncoding("UTF-8");
    const ScopedGlobalParams scoped(settings.params);
    EXPECT_EQ(firstWordOf(cidFontPage()), QStringLiteral("fiBC"));
}

TEST_F(PopplerSettings, UnicodeToUnicodeMapsApplyToFontsByName)
{
    // The path is used as written, not in the resources folder; the pattern is part of "Foo".
    resources.write("maps/Adobe-Tomefold", "1 beginbfrange <0001> <0003> <0041> endbfrange\n");
    current.write("utu", "0042 0078 0079\nnot a line\n");
    const QByteArray line = QByteArray("unicodeToUnicode Fo ") + current.path("utu").c_str() + "\n";
    auto settings = makeSettings(("cidToUnicode Adobe-Tomefold /maps/Adobe-Tomefold\n" + line).constData());
    settings.params->setTextEncoding("UTF-8");
    const ScopedGlobalParams scoped(settings.params);
    EXPECT_EQ(firstWordOf(cidFontPage()), QStringLiteral("AxyC"));
}

TEST_F(PopplerSettings, TheShippedSettingsFileMapsTheCJKCollections)
{
    const QString poppler = QStringLiteral("/usr/share/poppler");
    if (!QFile::exists(poppler + QStringLiteral("/cMap/Adobe-Japan1/Adobe-Japan1-UCS2")))
        GTEST_SKIP() << "poppler-data is not installed";
    // An install tree: the application's resources in share/tomefold, poppler-data in share/poppler.
    QFile shipped(qEnvironmentVariable("TOMEFOLD_TEST_SOURCE_DATA") + QStringLiteral("/../../resources/xpdfrc"));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    resources.write("share/tomefold/xpdfrc", shipped.readAll());
    ASSERT_TRUE(QFile::link(poppler, QString::fromStdString(resources.path("share/poppler"))));

    {
        auto bare = makeSettings("# nothing\n");
        bare.params->setTextEncoding("UTF-8");
        const ScopedGlobalParams scoped(bare.params);
        EXPECT_NE(firstWordOf(japanPage()), QStringLiteral("\u65e5\u672c"));
    }
    auto settings = PDFCore::makeCoreSettings({std::string(), resources.path("share/tomefold"), current.path()});
    settings.params->setTextEncoding("UTF-8");
    const ScopedGlobalParams scoped(settings.params);
    EXPECT_EQ(firstWordOf(japanPage()), QStringLiteral("\u65e5\u672c"));
}

TEST_F(PopplerSettings, AMissingCJKCollectionMapIsReportedAndReadOnceItIsThere)
{
    // The file the settings name is not there when the settings are made.
    auto settings = makeSettings("cidToUnicode Adobe-Japan1 /maps/Adobe-Japan1\n");
    settings.params->setTextEncoding("UTF-8");
    const ScopedGlobalParams scoped(settings.params);
    {
        const CoreErrorCapture errors;
        firstWordOf(japanPage());
        const QString expected = QStringLiteral("Couldn't open cidToUnicode file '%1'")
                                     .arg(QString::fromStdString(resources.path("maps/Adobe-Japan1")));
        EXPECT_TRUE(errors.contains(expected)) << errors.messages().join(u'\n').toStdString();
    }
    resources.write("maps/Adobe-Japan1", "2 beginbfchar <0cd4> <65e5> <0e8a> <672c> endbfchar\n");
    EXPECT_EQ(firstWordOf(japanPage()), QStringLiteral("\u65e5\u672c"));
}

TEST_F(PopplerSettings, SettingsKnowNoSystemData)
{
    // Poppler's own data would map this collection's ids through a system file; ours maps none.
    auto settings = makeSettings("# nothing\n");
    const GooString japanese("Adobe-Japan1");
    const GooString name("UniJIS-UCS2-H");
    EXPECT_FALSE(opened(settings.params->findCMapFile(&japanese, &name)));
    EXPECT_FALSE(opened(settings.params->getUnicodeMapFile("ISO-2022-JP")));
}

TEST_F(PopplerSettings, WithoutResourcesFolderOnlyTheCurrentFolderIsRead)
{
    current.write("xpdfrc", "toUnicodeDir /tou\n");
    current.write("tou/TF-UCS", "x");
    const auto settings = PDFCore::makeCoreSettings({std::string(), std::nullopt, current.path()});
    const GooString toUnicode("TF-UCS");
    EXPECT_FALSE(opened(settings.params->findToUnicodeFile(&toUnicode)));
}

TEST(PDFCoreSettingsOnce, MakesSettingsWithUTF8TextOnce)
{
    ASSERT_TRUE(PDFCoreSettings::ensureInitialised());
    GlobalParams* const first = globalParams.get();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(globalParams->getTextEncodingName(), "UTF-8");
    EXPECT_TRUE(PDFCoreSettings::ensureInitialised());
    EXPECT_EQ(globalParams.get(), first);
}

} // namespace
