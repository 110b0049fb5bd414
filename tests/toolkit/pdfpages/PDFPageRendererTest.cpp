#include "toolkit/pdfimages/PDFImageTestFiles.h"

#include "support/StubProgressDelegate.h"
#include "toolkit/converter/ImageConverter.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/imagewriter/CMYKConversion.h"
#include "toolkit/pdfpages/PDFPageRenderer.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <tiffio.h>

#include <gtest/gtest.h>

namespace {

// Each page a blue square in the lower left quarter on white.
std::vector<TestPage> Pages(int count, QByteArray mediaBox = "[0 0 200 200]", QByteArray entries = {})
{
    std::vector<TestPage> pages;
    for (int i = 0; i < count; ++i) {
        TestPage page;
        page.content = "0 0 1 rg 0 0 100 100 re f";
        page.mediaBox = mediaBox;
        page.pageEntries = entries;
        pages.push_back(page);
    }
    return pages;
}

class PageRun {
public:
    explicit PageRun(const std::vector<TestPage>& pages, std::uint32_t type = ImageType::PNG,
                     const QByteArray& ownerPassword = {})
    {
        const QString pdf = m_folder.filePath("base.pdf");
        WriteTestPDF(pdf, pages, ownerPassword);
        m_output = m_folder.filePath("out");
        QDir().mkpath(m_output);
        converter.OpenPDFDocument(QUrl::fromLocalFile(pdf));
        converter.SetOutputInfo(type, QUrl::fromLocalFile(m_output), 0.9);
    }

    bool render(bool applySize = false, ImageSizeOptions size = {})
    {
        return RenderPDFPages(converter, applySize, size);
    }
    QStringList files() const { return QDir(m_output).entryList(QDir::Files, QDir::Name); }
    QImage image(const QString& name) const { return QImage(QDir(m_output).filePath(name)); }
    QString path(const QString& name) const { return QDir(m_output).filePath(name); }

    ImageConverter converter;

private:
    QTemporaryDir m_folder;
    QString m_output;
};

int TIFFPages(const QString& path)
{
    TIFF* tiff = TIFFOpen(path.toLocal8Bit().constData(), "r");
    if (!tiff)
        return 0;
    const int pages = TIFFNumberOfDirectories(tiff);
    TIFFClose(tiff);
    return pages;
}

} // namespace

TEST(PDFPageRendererTest, NamesFollowThePageCount)
{
    PageRun twelve(Pages(12));
    EXPECT_TRUE(twelve.render());
    ASSERT_EQ(twelve.files().size(), 12);
    EXPECT_EQ(twelve.files().first(), "base-01.png");
    EXPECT_EQ(twelve.files().last(), "base-12.png");

    PageRun nine(Pages(9));
    EXPECT_TRUE(nine.render());
    EXPECT_EQ(nine.files().first(), "base-1.png");

    PageRun one(Pages(1));
    EXPECT_TRUE(one.render());
    EXPECT_EQ(one.files(), QStringList({"base.png"}));

    // All pages, numbered from a first page of 5.
    PageRun numbered(Pages(2));
    numbered.converter.SetPageRange(5, 0, 0);
    numbered.converter.SetOutputNaming({}, 1, 0);
    EXPECT_TRUE(numbered.render());
    EXPECT_EQ(numbered.files(), QStringList({"base-5.png", "base-6.png"}));
}

TEST(PDFPageRendererTest, PageSelection)
{
    PageRun fromZero(Pages(3));
    fromZero.converter.SetPageRange(0, 2, 2);
    EXPECT_TRUE(fromZero.render());
    EXPECT_EQ(fromZero.files(), QStringList({"base-1.png", "base-2.png"}));

    PageRun lastZero(Pages(3));
    lastZero.converter.SetPageRange(2, 0, 2);
    EXPECT_TRUE(lastZero.render());
    EXPECT_EQ(lastZero.files(), QStringList({"base-1.png"}));

    PageRun pageZero(Pages(3));
    pageZero.converter.SetPageRange(0, 0, 1);
    EXPECT_FALSE(pageZero.render());
    EXPECT_TRUE(pageZero.files().isEmpty());
}

TEST(PDFPageRendererTest, ResolutionSizeAndRotation)
{
    PageRun dpi(Pages(1));
    dpi.converter.SetResolution(150, 0);
    EXPECT_TRUE(dpi.render());
    const QImage page = dpi.image("base.png");
    EXPECT_EQ(page.size(), QSize(417, 417));
    // The square drawn at the lower left, white above it.
    EXPECT_EQ(page.pixel(10, 400), qRgb(0, 0, 255));
    EXPECT_EQ(page.pixel(10, 10), qRgb(255, 255, 255));

    PageRun letter(Pages(1, "[0 0 612 792]"));
    ImageSizeOptions size;
    size.width = 800;
    size.unit = 2;
    EXPECT_TRUE(letter.render(true, size));
    EXPECT_EQ(letter.image("base.png").size(), QSize(800, 1035));

    PageRun rotated(Pages(1, "[0 0 300 100]", "/Rotate 90"));
    EXPECT_TRUE(rotated.render());
    EXPECT_EQ(rotated.image("base.png").size(), QSize(100, 300));
}

TEST(PDFPageRendererTest, ConcurrentPagesMatchSerialOnes)
{
    PageRun serial(Pages(6));
    PageRun concurrent(Pages(6));
    concurrent.converter.SetConcurrent(1);
    EXPECT_TRUE(serial.render());
    EXPECT_TRUE(concurrent.render());
    ASSERT_EQ(serial.files(), concurrent.files());
    for (const QString& name : serial.files())
        EXPECT_EQ(serial.image(name), concurrent.image(name)) << name.toStdString();
}

TEST(PDFPageRendererTest, TIFFRoads)
{
    PageRun multi(Pages(3), ImageType::MultiPageTIFF);
    EXPECT_TRUE(multi.render());
    ASSERT_EQ(multi.files(), QStringList({"base.tif"}));
    EXPECT_EQ(TIFFPages(multi.path("base.tif")), 3);

    PageRun single(Pages(5), ImageType::MultiPageTIFF);
    single.converter.SetPageRange(3, 3, 2);
    EXPECT_TRUE(single.render());
    ASSERT_EQ(single.files(), QStringList({"base-3.tif"}));
    EXPECT_EQ(TIFFPages(single.path("base-3.tif")), 1);

    PageRun cmyk(Pages(1), ImageType::CMYKTIFF);
    EXPECT_TRUE(cmyk.render());
    ASSERT_EQ(cmyk.files().size(), 1);
    TIFF* tiff = TIFFOpen(cmyk.path(cmyk.files().first()).toLocal8Bit().constData(), "r");
    ASSERT_TRUE(tiff);
    uint16_t photometric = 0;
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    EXPECT_EQ(photometric, PHOTOMETRIC_SEPARATED);
    TIFFClose(tiff);

    // A cancelled multi-page run fails and leaves no TIFF behind, finished or not.
    PageRun cancelled(Pages(3), ImageType::MultiPageTIFF);
    StubProgressDelegate cancel(true);
    cancelled.converter.SetProgressCallback(&cancel, nullptr);
    EXPECT_FALSE(cancelled.render());
    EXPECT_TRUE(cancelled.files().isEmpty());
}

TEST(PDFPageRendererTest, ScratchTIFFsNeverTakeANameAUsersFileCouldHave)
{
    // A file named as a scratch file beside the target once was stays as it is.
    for (const std::uint32_t type : {ImageType::MultiPageTIFF, ImageType::CMYKTIFF}) {
        PageRun run(Pages(type == ImageType::MultiPageTIFF ? 2 : 1), type);
        QFile user(run.path(QStringLiteral("base.tif.part")));
        ASSERT_TRUE(user.open(QIODevice::WriteOnly));
        user.write("the user's own file");
        user.close();
        EXPECT_TRUE(run.render());
        EXPECT_EQ(run.files(), QStringList({"base.tif", "base.tif.part"}));
        ASSERT_TRUE(user.open(QIODevice::ReadOnly));
        EXPECT_EQ(user.readAll(), QByteArray("the user's own file"));
    }
}

TEST(PDFPageRendererTest, ACancelledRunOfPageFilesKeepsItsResult)
{
    PageRun run(Pages(3));
    StubProgressDelegate cancel(true);
    run.converter.SetProgressCallback(&cancel, nullptr);
    EXPECT_TRUE(run.render());
    EXPECT_TRUE(run.files().isEmpty());
}

TEST(PDFPageRendererTest, ColourModelTwoWritesInksWhereTheTypeHoldsThem)
{
    PageRun tiff(Pages(1), ImageType::TIFF);
    tiff.converter.SetColorModel(2);
    ASSERT_TRUE(tiff.render());
    ASSERT_EQ(tiff.files().size(), 1);
    TIFF* file = TIFFOpen(tiff.path(tiff.files().first()).toLocal8Bit().constData(), "r");
    ASSERT_TRUE(file);
    uint16_t photometric = 0;
    TIFFGetField(file, TIFFTAG_PHOTOMETRIC, &photometric);
    EXPECT_EQ(photometric, PHOTOMETRIC_SEPARATED);
    TIFFClose(file);

    // A JPEG frame of four components is CMYK: its start-of-frame marker says how many it has.
    PageRun jpeg(Pages(1), ImageType::JPEG);
    jpeg.converter.SetColorModel(2);
    ASSERT_TRUE(jpeg.render());
    ASSERT_EQ(jpeg.files().size(), 1);
    QFile bytes(jpeg.path(jpeg.files().first()));
    ASSERT_TRUE(bytes.open(QIODevice::ReadOnly));
    const QByteArray data = bytes.readAll();
    const qsizetype frame = data.indexOf(QByteArray::fromHex("ffc0")) >= 0 ? data.indexOf(QByteArray::fromHex("ffc0"))
                                                                           : data.indexOf(QByteArray::fromHex("ffc2"));
    ASSERT_GE(frame, 0);
    EXPECT_EQ(static_cast<int>(data.at(frame + 9)), 4);
}

TEST(PDFPageRendererTest, CMYKPagesTakeTheirInksFromTheSharedConversion)
{
    // Yellow on the left, blue on the right: each ink answers to its own channel.
    TestPage page;
    page.content = "1 1 0 rg 0 0 100 200 re f 0 0 1 rg 100 0 100 200 re f";
    PageRun run({page}, ImageType::CMYKTIFF);
    ASSERT_TRUE(run.render());
    ASSERT_EQ(run.files().size(), 1);
    TIFF* tiff = TIFFOpen(run.path(run.files().first()).toLocal8Bit().constData(), "r");
    ASSERT_TRUE(tiff);
    std::vector<unsigned char> row(size_t(TIFFScanlineSize(tiff)));
    ASSERT_EQ(row.size(), 200U * 4);
    ASSERT_EQ(TIFFReadScanline(tiff, row.data(), 0, 0), 1);
    TIFFClose(tiff);
    QImage expected(200, 1, QImage::Format_RGB32);
    for (int x = 0; x < 200; ++x)
        expected.setPixel(x, 0, x < 100 ? qRgb(255, 255, 0) : qRgb(0, 0, 255));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(row.data()), qsizetype(row.size())), RGBImageToCMYK(expected));
    EXPECT_GT(row[50 * 4 + 2], 200);
    EXPECT_LT(row[150 * 4 + 2], 40);
}

// An image of more pixels than the bounds allow, its own or its JBIG2 page's, is never decoded: the
// page that draws it is left out and the run fails, the other pages are still written. A wide image
// of few pixels is drawn.
TEST(PDFPageRendererTest, PagesDrawingImagesOverTheBoundsAreLeftOut)
{
    const QByteArray jbig2 = "/Type /XObject /Subtype /Image /Width 16 /Height 16 /ImageMask true /Filter /JBIG2Decode";
    const std::vector<TestXObject> images{
        {"Wide", "/Type /XObject /Subtype /Image /Width 40000 /Height 2 /BitsPerComponent 8 /ColorSpace /DeviceRGB",
         QByteArray(240000, '\x80')},
        {"Huge", "/Type /XObject /Subtype /Image /Width 40000 /Height 30000 /ImageMask true", Bytes({0})},
        {"HugePage", jbig2, TestFilters::JBIG2Page(40000, 40000)},
        {"Small", jbig2, TestFilters::JBIG2Page(16, 16)}};
    std::vector<TestPage> pages;
    for (const TestXObject& image : images) {
        TestPage page{{image}};
        page.content = "q 100 0 0 100 0 0 cm /" + image.name + " Do Q";
        pages.push_back(page);
    }
    PageRun run(pages);
    EXPECT_FALSE(run.render());
    EXPECT_EQ(run.files(), QStringList({"base-1.png", "base-4.png"}));
}

TEST(PDFPageRendererTest, OwnerPasswordOnlyOpensWithoutPassword)
{
    PageRun encrypted(Pages(2), ImageType::PNG, "owner");
    ASSERT_TRUE(encrypted.converter.IsPDFEncrypted());
    encrypted.converter.SetConcurrent(1);
    EXPECT_TRUE(encrypted.render());
    EXPECT_EQ(encrypted.files(), QStringList({"base-1.png", "base-2.png"}));
}

TEST(PDFPageRendererTest, ExistingFilesAreKeptUnlessReplaced)
{
    PageRun keep(Pages(1));
    QFile existing(keep.path("base.png"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("mine");
    existing.close();
    EXPECT_TRUE(keep.render());
    EXPECT_EQ(keep.files(), QStringList({"base 1.png", "base.png"}));
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), "mine");
}

TEST(PDFPageRendererTest, ImageRepresentationPagesAtTwiceTheirSize)
{
    PageRun run(Pages(2, "[0 0 100 50]"));
    ASSERT_TRUE(run.converter.LoadPDFImageRep(run.converter.m_sourceURL));
    EXPECT_TRUE(RenderPDFPagesWithImageRep(run.converter));
    ASSERT_EQ(run.files(), QStringList({"base-001.png", "base-002.png"}));
    EXPECT_EQ(run.image("base-002.png").size(), QSize(200, 100));
}

// A page tree that loops fails the run after a page was written: the run leaves no file behind.
TEST(PDFPageRendererTest, AFailedRunRemovesWhatItWrote)
{
    QTemporaryDir folder;
    const QByteArray objects[] = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [4 0 R 5 0 R] /Count 3 >>",
        "<< /Length 25 >>\nstream\n0 0 1 rg 0 0 5 5 re f\n\nendstream",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] /Contents 3 0 R >>",
        "<< /Type /Pages /Parent 2 0 R /Kids [5 0 R] /Count 2 >>",
    };
    QByteArray pdf = "%PDF-1.7\n";
    QList<qsizetype> offsets;
    for (int i = 0; i < 5; ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 6\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size 6 /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    QFile file(folder.filePath("loop.pdf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pdf);
    file.close();
    QDir().mkpath(folder.filePath("out"));
    ImageConverter converter;
    ASSERT_TRUE(converter.OpenPDFDocument(QUrl::fromLocalFile(file.fileName())));
    converter.SetOutputInfo(ImageType::PNG, QUrl::fromLocalFile(folder.filePath("out")), 0.9);
    EXPECT_FALSE(RenderPDFPages(converter, false, {}));
    EXPECT_TRUE(QDir(folder.filePath("out")).entryList(QDir::Files).isEmpty());
}
