#include "toolkit/ToolkitTestImages.h"
#include "toolkit/writing/WritingTestSupport.h"

#include "toolkit/converter/ImageConverter.h"
#include "toolkit/helpers/ImageTypeCodes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace ToolkitTestImages;
using namespace WritingTest;

namespace {

class RepresentationWriting : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }
    QUrl url(const QString& name) const { return QUrl::fromLocalFile(path(name)); }

    void SetUp() override
    {
        // Three pages told apart by their size.
        ASSERT_TRUE(writeTIFF(path("three.tif"), {quadrantImage(40, 20), quadrantImage(30, 20), quadrantImage(20, 20)}, 72));
    }

    bool convert(const QString& source, std::uint32_t type, const QString& output, double quality = 0.9)
    {
        ImageConverter converter;
        if (!converter.LoadSourceImage(url(source)))
            return false;
        converter.SetOutputInfo(type, url(output), quality);
        return converter.WriteAllRepresentations();
    }

    QTemporaryDir m_folder;
};

} // namespace

TEST_F(RepresentationWriting, PagesBecomeNumberedFilesInAFolder)
{
    ASSERT_TRUE(convert("three.tif", ImageType::PNG, "name.png"));
    const QDir folder(path("name"));
    EXPECT_EQ(folder.entryList(QDir::Files, QDir::Name), (QStringList{"name 1.png", "name 2.png", "name.png"}));
    EXPECT_EQ(readBack(folder.filePath("name.png"))->pixelsWide(), 40);
    EXPECT_EQ(readBack(folder.filePath("name 1.png"))->pixelsWide(), 30);
    EXPECT_EQ(readBack(folder.filePath("name 2.png"))->pixelsWide(), 20);
    EXPECT_FALSE(QFileInfo::exists(path("name.png")));

    // Files already there are kept: the new ones take the next free numbers.
    ASSERT_TRUE(convert("three.tif", ImageType::PNG, "name.png"));
    EXPECT_EQ(QDir(path("name")).entryList(QDir::Files).size(), 6);
    EXPECT_EQ(readBack(folder.filePath("name 3.png"))->pixelsWide(), 40);
    EXPECT_EQ(readBack(folder.filePath("name.png"))->pixelsWide(), 40);
}

TEST_F(RepresentationWriting, PagesBecomeOnePDF)
{
    ASSERT_TRUE(convert("three.tif", ImageType::PDF, "all.pdf"));
    const auto pdf = PDFImageRep::fromData(readBytes(path("all.pdf")));
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->pageCount(), 3);
    EXPECT_NEAR(pdf->size().width(), 40, 0.01);
    EXPECT_FALSE(QFileInfo::exists(path("all")));
}

TEST_F(RepresentationWriting, WebPQualityAndTheTemporaryTIFF)
{
    QTemporaryDir temporary;
    const QByteArray previous = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temporary.path()));
    ASSERT_TRUE(writePNG(path("w.png"), quadrantImage(40, 20), 72));
    ASSERT_TRUE(convert("w.png", ImageType::WebP, "lossless.webp", 1.0));
    ASSERT_TRUE(convert("w.png", ImageType::WebP, "lossy.webp", 0.8));
    // An encoder that cannot write its file still removes the TIFF it was given.
    EXPECT_FALSE(convert("w.png", ImageType::WebP, "no/such/folder/x.webp", 0.8));
    EXPECT_TRUE(QDir(temporary.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    qputenv("TMPDIR", previous);

    const QByteArray lossless = readBytes(path("lossless.webp"));
    const QByteArray lossy = readBytes(path("lossy.webp"));
    EXPECT_TRUE(lossless.contains("VP8L"));
    EXPECT_FALSE(lossy.contains("VP8L"));
    EXPECT_TRUE(lossy.contains("VP8 "));
    // Lossless is exact; lossy at 80 stays near.
    ImageConverter reader;
    ASSERT_TRUE(reader.LoadSourceImage(url("lossless.webp")));
    const auto exact = std::dynamic_pointer_cast<BitmapImageRep>(reader.m_currentRep);
    ASSERT_TRUE(exact);
    EXPECT_EQ(pixelAt(exact->image(), 35, 5), qRgb(0, 255, 0));
    ImageConverter lossyReader;
    ASSERT_TRUE(lossyReader.LoadSourceImage(url("lossy.webp")));
    const auto near80 = std::dynamic_pointer_cast<BitmapImageRep>(lossyReader.m_currentRep);
    ASSERT_TRUE(near80);
    EXPECT_TRUE(near(pixelAt(near80->image(), 5, 15), qRgb(0, 0, 255), 48));
}

TEST_F(RepresentationWriting, AFailedFirstPageFailsTheDocument)
{
    const auto empty = std::make_shared<BitmapImageRep>(QImage(), BitmapImageRep::Description{});
    const auto page = std::make_shared<BitmapImageRep>(quadrantImage(30, 20), BitmapImageRep::Description{});
    ImageConverter converter;
    converter.m_image = std::make_shared<Image>(ImageRepList{empty, page, page});
    converter.m_representations = converter.m_image->representations();
    converter.SetOutputInfo(ImageType::PDF, url("rest.pdf"), 0.9);
    // A document of the pages after it would be written as if it were the whole source.
    EXPECT_FALSE(converter.WriteAllRepresentations());
    EXPECT_FALSE(QFileInfo::exists(path("rest.pdf")));
}
