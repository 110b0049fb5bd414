#include "PDFImageTestFiles.h"

#include "support/StubProgressDelegate.h"
#include "toolkit/Toolkit.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/pdfimages/PDFImageExtractor.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TestXObject GrayImage(const QByteArray& name, int value)
{
    return {name, "/Type /XObject /Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 8",
            Bytes({value})};
}

// A page that draws each of its images once.
TestPage DrawingPage(std::vector<TestXObject> xobjects)
{
    TestPage page{std::move(xobjects)};
    page.content.clear();
    for (const TestXObject& xobject : page.xobjects)
        page.content += "/" + xobject.name + " Do\n";
    return page;
}

// A page of one image whose gray value is its page number.
TestPage NumberedPage(int page)
{
    return DrawingPage({GrayImage("Im0", page)});
}

class ExtractorRun {
public:
    explicit ExtractorRun(const std::vector<TestPage>& pages, std::uint32_t outputType = ImageType::PNG)
    {
        const QString pdf = m_folder.filePath("Report.pdf");
        WriteTestPDF(pdf, pages);
        m_output = m_folder.filePath("out");
        QDir().mkpath(m_output);
        EXPECT_TRUE(m_extractor.OpenSourcePDF(QUrl::fromLocalFile(pdf)));
        m_extractor.SetOutputInfo(outputType, QUrl::fromLocalFile(m_output), 0.8);
    }

    PDFImageExtractor& extractor() { return m_extractor; }
    QString output() const { return m_output; }

    QStringList files() const
    {
        return QDir(m_output).entryList(QDir::Files, QDir::Name);
    }
    // The gray value of a written image's first pixel.
    int gray(const QString& file) const
    {
        return qGray(QImage(QDir(m_output).filePath(file)).pixel(0, 0));
    }

private:
    QTemporaryDir m_folder;
    QString m_output;
    PDFImageExtractor m_extractor;
};

class ProgressRecorder : public StubProgressDelegate {
public:
    void report(long value) { pages.push_back(value); }
    std::vector<long> pages;
};

} // namespace

TEST(PDFImageExtractorTest, ResourcesFirstThenInlineImagesWithAbbreviatedKeys)
{
    TestPage page{{GrayImage("Im0", 10)}};
    page.content = "q 10 0 0 10 0 0 cm /Im0 Do Q\n"
                   "BI /W 2 /H 1 /BPC 8 /CS /G /I true ID \x14\x1e EI\n"
                   "BI /W 1 /H 1 /BPC 8 /CS /RGB /F /AHx ID 28323c> EI Q";
    ExtractorRun run({page});
    EXPECT_TRUE(run.extractor().ExtractImages());
    EXPECT_EQ(run.files(), QStringList({"Report_Page1_1.png", "Report_Page1_2.png", "Report_Page1_3.png"}));
    EXPECT_EQ(run.gray("Report_Page1_1.png"), 10);
    const QImage second(QDir(run.output()).filePath("Report_Page1_2.png"));
    EXPECT_EQ(second.size(), QSize(2, 1));
    EXPECT_EQ(qGray(second.pixel(1, 0)), 30);
    EXPECT_EQ(QImage(QDir(run.output()).filePath("Report_Page1_3.png")).pixel(0, 0), qRgb(0x28, 0x32, 0x3c));
}

TEST(PDFImageExtractorTest, FormsAtEveryDepthAndFormsThatContainThemselves)
{
    // Page → form → form → image, and a form that draws itself after its image.
    const TestXObject inner{"", "/Type /XObject /Subtype /Form /BBox [0 0 1 1] /Resources << /XObject << /Deep @1 >> >>", "/Deep Do", {GrayImage("", 40)}};
    const TestXObject outer{"Outer", "/Type /XObject /Subtype /Form /BBox [0 0 1 1] /Resources << /XObject << /Inner @1 >> >>", "/Inner Do", {inner}};
    const TestXObject selfish{"Self",
                              "/Type /XObject /Subtype /Form /BBox [0 0 1 1] /Resources << /XObject << /Me @self /Im @1 >> >>",
                              "/Im Do /Me Do",
                              {GrayImage("", 50)}};
    ExtractorRun run({DrawingPage({outer, selfish})});
    EXPECT_TRUE(run.extractor().ExtractImages());
    ASSERT_EQ(run.files().size(), 2);
    EXPECT_EQ(run.gray("Report_Page1_1.png"), 40);
    EXPECT_EQ(run.gray("Report_Page1_2.png"), 50);
}

// A page's images are those its content draws, each as often as it is drawn: a form drawn twice
// gives its images twice, and pictures merely listed in a resource dictionary give nothing.
TEST(PDFImageExtractorTest, ImagesAsOftenAsTheContentDrawsThem)
{
    const TestXObject form{"Logo", "/Type /XObject /Subtype /Form /BBox [0 0 1 1] /Resources << /XObject << /Pic @1 >> >>", "q /Pic Do Q BI /W 1 /H 1 /BPC 8 /CS /G ID \x21 EI", {GrayImage("", 60)}};
    TestPage page{{form, GrayImage("Unused", 70), GrayImage("Twice", 80)}};
    page.content = "/Logo Do /Twice Do q 1 0 0 1 5 5 cm /Logo Do Q /Twice Do /Missing Do";
    ExtractorRun run({page});
    EXPECT_TRUE(run.extractor().ExtractImages());
    const QStringList expected{"Report_Page1_1.png", "Report_Page1_2.png", "Report_Page1_3.png",
                               "Report_Page1_4.png", "Report_Page1_5.png", "Report_Page1_6.png"};
    ASSERT_EQ(run.files(), expected);
    const int grays[] = {60, 0x21, 80, 60, 0x21, 80};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(run.gray(expected[i]), grays[i]) << i;

    // A name a form's own resources lack is looked up in those of the content that draws it.
    const TestXObject borrowing{"Borrow", "/Type /XObject /Subtype /Form /BBox [0 0 1 1] /Resources << /ExtGState << >> >>",
                                "/Outer Do"};
    ExtractorRun inherited({DrawingPage({borrowing, GrayImage("Outer", 90)})});
    EXPECT_TRUE(inherited.extractor().ExtractImages());
    EXPECT_EQ(inherited.files(), QStringList({"Report_Page1_1.png", "Report_Page1_2.png"}));

    // A name the form and the page both use is the form's own inside the form.
    const TestXObject shadowing{"Shadow", "/Type /XObject /Subtype /Form /BBox [0 0 1 1] /Resources << /XObject << /Pic @1 >> >>", "/Pic Do", {GrayImage("", 100)}};
    ExtractorRun shadowed({DrawingPage({shadowing, GrayImage("Pic", 110)})});
    EXPECT_TRUE(shadowed.extractor().ExtractImages());
    ASSERT_EQ(shadowed.files(), QStringList({"Report_Page1_1.png", "Report_Page1_2.png"}));
    EXPECT_EQ(shadowed.gray("Report_Page1_1.png"), 100);
    EXPECT_EQ(shadowed.gray("Report_Page1_2.png"), 110);

    // Pages that share one resource dictionary: each gives only what it draws.
    ExtractorRun shared({TestPage{{GrayImage("A", 1), GrayImage("B", 2)}, "/B Do"}, TestPage{{GrayImage("A", 1), GrayImage("B", 2)}, "q Q"}});
    EXPECT_TRUE(shared.extractor().ExtractImages());
    EXPECT_EQ(shared.files(), QStringList({"Report_Page1_1.png"}));
    EXPECT_EQ(shared.gray("Report_Page1_1.png"), 2);
}

// A raw inline image in a Separation or DeviceN space holds one sample per colorant, not one per
// component of the alternate space: the images after it are still found.
TEST(PDFImageExtractorTest, InlineImagesOfSpecialFamiliesKeepTheirSize)
{
    TestPage page;
    page.colorSpaces = "/Spot [/Separation /Red /DeviceCMYK << /FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] /C1 [0 1 1 0] /N 1 >>]"
                       " /Two [/DeviceN [/A /B] /DeviceCMYK << /FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] /C1 [1 0 0 0] /N 1 >>]";
    page.content = "BI /W 2 /H 1 /BPC 8 /CS /Spot ID \xff\x01 EI\n"
                   "BI /W 1 /H 1 /BPC 8 /CS /Two ID \x10\x20 EI\n"
                   "BI /W 1 /H 1 /BPC 8 /CS /G ID \x30 EI";
    ExtractorRun run({page});
    EXPECT_TRUE(run.extractor().ExtractImages());
    const QStringList files = run.files();
    ASSERT_EQ(files.size(), 3) << files.join(" ").toStdString();
    EXPECT_EQ(QImage(QDir(run.output()).filePath(files[0])).size(), QSize(2, 1));
    EXPECT_EQ(run.gray(files[2]), 0x30);
}

TEST(PDFImageExtractorTest, PageRanges)
{
    const std::vector<TestPage> pages{NumberedPage(1), NumberedPage(2), NumberedPage(3)};
    const struct {
        std::uint32_t mode;
        std::int64_t first, last;
        QList<long> expected;
    } cases[] = {
        {0, 0, 0, {1, 2, 3}},
        {2, 0, 2, {1, 2}}, // first page 0 starts at 1
        {2, 2, 0, {1}},    // last page 0 ends at 1
        {2, 2, -4, {1}},
        {2, 9, 2, {1, 2}}, // first beyond the end starts at 1
        {2, 3, 2, {2}},    // first after last: the last page only
        {2, 2, 99, {2, 3}},
        {1, 3, 0, {3}},
        {1, 9, 0, {1}},       // beyond the end: page 1
        {1, 0, 0, {0}},       // page 0: its report, nothing written
        {7, 2, 2, {1, 2, 3}}, // unknown modes act as all pages
    };
    for (const auto& c : cases) {
        ExtractorRun run(pages);
        ProgressRecorder progress;
        run.extractor().SetProgressCallback(&progress, static_cast<ProgressCallbackInfo::Selector>(&ProgressRecorder::report));
        run.extractor().SetPageSelection(c.mode, c.first, c.last);
        EXPECT_TRUE(run.extractor().ExtractImages());
        EXPECT_EQ(QList<long>(progress.pages.begin(), progress.pages.end()), c.expected)
            << c.mode << " " << c.first << " " << c.last;
        QStringList expectedFiles;
        for (long page : c.expected)
            if (page >= 1)
                expectedFiles << QStringLiteral("Report_Page%1_1.png").arg(page);
        EXPECT_EQ(run.files(), expectedFiles) << c.mode << " " << c.first << " " << c.last;
    }
}

TEST(PDFImageExtractorTest, CancelAndBaseName)
{
    ExtractorRun run({NumberedPage(1), NumberedPage(2)});
    StubProgressDelegate cancelled(true);
    run.extractor().SetProgressCallback(&cancelled, nullptr);
    EXPECT_TRUE(run.extractor().ExtractImages());
    EXPECT_TRUE(run.files().isEmpty());

    ExtractorRun named({NumberedPage(1)}, ImageType::JPEG);
    named.extractor().SetOutputNaming("Scan", 0, 0);
    EXPECT_TRUE(named.extractor().ExtractImages());
    EXPECT_EQ(named.files(), QStringList({"Scan_Page1_1.jpg"}));
}

TEST(PDFImageExtractorTest, WritingFailuresAndExistingFiles)
{
    // An image that decodes but cannot be written uses its number; the run still ran.
    const TestPage page = DrawingPage({GrayImage("A", 1), GrayImage("B", 2)});
    ExtractorRun unwritable({page}, ImageType::Illustrator);
    EXPECT_TRUE(unwritable.extractor().ExtractImages());
    EXPECT_EQ(unwritable.extractor().m_imageIndex, 3);
    EXPECT_EQ(unwritable.extractor().m_imagesWritten, 0);

    // An image that cannot be decoded does not use a number.
    const TestPage broken = DrawingPage({TestXObject{"A", "/Type /XObject /Subtype /Image /Height 1", "x"}, GrayImage("B", 2)});
    ExtractorRun skipping({broken});
    EXPECT_TRUE(skipping.extractor().ExtractImages());
    EXPECT_EQ(skipping.files(), QStringList({"Report_Page1_1.png"}));

    // A name already taken is never overwritten: the image takes the next free numbered name, and a
    // second run into the same folder succeeds beside the first.
    ExtractorRun keep({NumberedPage(7)});
    QFile existing(QDir(keep.output()).filePath("Report_Page1_1.png"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("mine");
    existing.close();
    EXPECT_TRUE(keep.extractor().ExtractImages());
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), "mine");
    existing.close();
    EXPECT_EQ(keep.files(), QStringList({"Report_Page1_1 1.png", "Report_Page1_1.png"}));
    EXPECT_EQ(keep.gray("Report_Page1_1 1.png"), 7);
    // A second run on the same converter needs its folder back: the first left the last file's URL.
    keep.extractor().SetDestination(QUrl::fromLocalFile(keep.output()));
    EXPECT_TRUE(keep.extractor().ExtractImages());
    EXPECT_EQ(keep.files(), QStringList({"Report_Page1_1 1.png", "Report_Page1_1 2.png", "Report_Page1_1.png"}));
    // Replacing, when asked for, writes over the first name.
    keep.extractor().SetDestination(QUrl::fromLocalFile(keep.output()));
    keep.extractor().SetOutputNaming({}, 0, 1);
    EXPECT_TRUE(keep.extractor().ExtractImages());
    EXPECT_EQ(keep.gray("Report_Page1_1.png"), 7);
}

// A page whose content (forms counted each time they are drawn) inflates beyond the limit is given
// up where it stands and counted; the pages after it are still done.
TEST(PDFImageExtractorTest, APageOverTheContentLimitIsGivenUp)
{
    const QByteArray comment = "%" + QByteArray(1 << 20, 'x') + "\n";
    const TestXObject heavy{"Heavy", "/Type /XObject /Subtype /Form /BBox [0 0 1 1]", comment};
    TestPage page{{GrayImage("First", 1), heavy, GrayImage("Last", 2)}};
    page.content = "/First Do\n" + QByteArray("/Heavy Do\n").repeated(80) + "/Last Do";
    ExtractorRun run({page, NumberedPage(9)});
    EXPECT_TRUE(run.extractor().ExtractImages());
    EXPECT_EQ(run.files(), QStringList({"Report_Page1_1.png", "Report_Page2_1.png"}));
    EXPECT_EQ(run.gray("Report_Page1_1.png"), 1);
    EXPECT_EQ(run.extractor().m_pagesOverLimit, 1);
}

// Sizes are weighed before anything is decoded: the image's own, and those its JBIG2 segments declare,
// which the PDF library would allocate whatever the image says. The run goes on and reports failure.
TEST(PDFImageExtractorTest, ImagesOverTheBoundsAreLeftOutAndTheRunFails)
{
    const QByteArray jbig2 = "/Type /XObject /Subtype /Image /Width 16 /Height 16 /BitsPerComponent 1 "
                             "/ColorSpace /DeviceGray /Filter /JBIG2Decode";
    const QByteArray profiles = TestFilters::JBIG2Segment(7, 52, QByteArray(3, '\0'));
    const std::vector<TestXObject> images{
        {"Scan", "/Type /XObject /Subtype /Image /Width 35000 /Height 35000 /BitsPerComponent 1 /ColorSpace /DeviceGray",
         Bytes({0})},
        {"HugePage", jbig2, TestFilters::JBIG2Page(40000, 40000)},
        {"HugeRegion", jbig2, TestFilters::JBIG2Page(16, 16, TestFilters::JBIG2GenericRegion(1, 40000, 40000))},
        {"HugeGlobalPage", jbig2 + " /DecodeParms << /JBIG2Globals @1 >>", TestFilters::JBIG2GenericRegion(2, 16, 16), {{"", "", TestFilters::JBIG2Page(40000, 40000)}}},
        {"Small", jbig2, profiles + TestFilters::JBIG2Page(16, 16, TestFilters::JBIG2GenericRegion(2, 16, 16))},
        GrayImage("Gray", 5)};
    ExtractorRun run({DrawingPage(images)});
    EXPECT_TRUE(run.extractor().ExtractImages());
    EXPECT_EQ(run.extractor().m_imagesOverLimit, 4);
    ASSERT_EQ(run.files(), QStringList({"Report_Page1_1.png", "Report_Page1_2.png"}));
    EXPECT_EQ(QImage(QDir(run.output()).filePath("Report_Page1_1.png")).size(), QSize(16, 16));

    QTemporaryDir folder;
    const QString pdf = folder.filePath("Scan.pdf");
    WriteTestPDF(pdf, {DrawingPage(images)});
    ImageConversionOptions options;
    options.sourceURL = QUrl::fromLocalFile(pdf);
    options.destinationURL = QUrl::fromLocalFile(folder.path());
    options.outputType = ImageType::PNG;
    EXPECT_FALSE(ExtractImagesFromPDF(&options));
    EXPECT_TRUE(QFile::exists(folder.filePath("Scan_Page1_2.png")));
}

TEST(PDFImageExtractorTest, PDFOutputIsOnePagePerImage)
{
    ExtractorRun run({NumberedPage(1)}, ImageType::PDF);
    EXPECT_TRUE(run.extractor().ExtractImages());
    ASSERT_EQ(run.files(), QStringList({"Report_Page1_1.pdf"}));
    QFile pdf(QDir(run.output()).filePath("Report_Page1_1.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
}

TEST(PDFImageExtractorTest, DamagedFilesEndWithoutHarm)
{
    // The fuzzer's seeds (forms that contain themselves, soft masks that mask themselves, inline
    // images), whole and cut short at every few bytes, with and without a byte flipped.
    const QDir seeds(qEnvironmentVariable("TOMEFOLD_TEST_SOURCE_DATA") + "/fuzz/pdfimages");
    const QStringList names = seeds.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    QTemporaryDir folder;
    for (const QString& name : names) {
        QFile seed(seeds.filePath(name));
        ASSERT_TRUE(seed.open(QIODevice::ReadOnly));
        const QByteArray whole = seed.readAll();
        for (qsizetype length = whole.size(); length > 0; length -= 37) {
            for (bool flip : {false, true}) {
                QByteArray bytes = whole.left(length);
                if (flip)
                    bytes[length / 2] = char(bytes[length / 2] ^ 0x5a);
                const QString path = folder.filePath("damaged.pdf");
                QFile damaged(path);
                ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
                damaged.write(bytes);
                damaged.close();
                PDFImageExtractor extractor;
                if (!extractor.OpenSourcePDF(QUrl::fromLocalFile(path)))
                    continue;
                extractor.SetOutputInfo(ImageType::PNG, QUrl::fromLocalFile(folder.filePath("out")), 0);
                extractor.ExtractImages();
            }
        }
    }
}
