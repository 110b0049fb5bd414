// Pages drawn to images with a size record that gives both width and height: the page fits inside
// the box with its proportions kept, whichever side limits it. And page ranges that start on the
// last page.

#include "toolkit/pdfimages/PDFImageTestFiles.h"

#include "toolkit/converter/ImageConverter.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/pdfpages/PDFPageRenderer.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The pixel size of the one page of a `mediaBox` PDF drawn with the size record.
QSize pageImageSize(const QByteArray& mediaBox, const ImageSizeOptions& size)
{
    QTemporaryDir folder;
    TestPage page;
    page.content = "0 0 1 rg 0 0 50 50 re f";
    page.mediaBox = mediaBox;
    const QString pdf = folder.filePath(QStringLiteral("page.pdf"));
    WriteTestPDF(pdf, {page});
    const QString output = folder.filePath(QStringLiteral("out"));
    QDir().mkpath(output);
    ImageConverter converter;
    converter.OpenPDFDocument(QUrl::fromLocalFile(pdf));
    converter.SetOutputInfo(ImageType::PNG, QUrl::fromLocalFile(output), 0.9);
    if (!RenderPDFPages(converter, true, size))
        return {};
    return QImage(QDir(output).filePath(QStringLiteral("page.png"))).size();
}

// The names of the files drawn from a PDF of `count` pages with the page range.
QStringList rangeFiles(int count, long long first, long long last, std::uint32_t mode)
{
    QTemporaryDir folder;
    TestPage page;
    page.content = "0 0 1 rg 0 0 50 50 re f";
    page.mediaBox = "[0 0 100 100]";
    const QString pdf = folder.filePath(QStringLiteral("base.pdf"));
    WriteTestPDF(pdf, std::vector<TestPage>(static_cast<std::size_t>(count), page));
    const QString output = folder.filePath(QStringLiteral("out"));
    QDir().mkpath(output);
    ImageConverter converter;
    converter.OpenPDFDocument(QUrl::fromLocalFile(pdf));
    converter.SetOutputInfo(ImageType::PNG, QUrl::fromLocalFile(output), 0.9);
    converter.SetPageRange(first, last, mode);
    RenderPDFPages(converter, false, {});
    return QDir(output).entryList(QDir::Files, QDir::Name);
}

ImageSizeOptions pixels(double width, double height)
{
    ImageSizeOptions size;
    size.width = width;
    size.height = height;
    size.unit = 2;
    return size;
}

} // namespace

TEST(PageImageSize, BothSidesGivenFitThePageInside)
{
    // A wide page is limited by the width, a tall one by the height.
    EXPECT_EQ(pageImageSize("[0 0 200 100]", pixels(100, 100)), QSize(100, 50));
    EXPECT_EQ(pageImageSize("[0 0 100 200]", pixels(100, 100)), QSize(50, 100));
    EXPECT_EQ(pageImageSize("[0 0 200 100]", pixels(400, 100)), QSize(200, 100));
    EXPECT_EQ(pageImageSize("[0 0 200 100]", pixels(300, 300)), QSize(300, 150));
}

TEST(PageImageSize, OneSideGivenSetsTheOther)
{
    EXPECT_EQ(pageImageSize("[0 0 200 100]", pixels(100, 0)), QSize(100, 50));
    EXPECT_EQ(pageImageSize("[0 0 200 100]", pixels(0, 300)), QSize(600, 300));
}

TEST(PageImageSize, ARangeThatStartsOnTheLastPageDrawsOnlyIt)
{
    EXPECT_EQ(rangeFiles(3, 3, 3, 2), QStringList({QStringLiteral("base-3.png")}));
    EXPECT_EQ(rangeFiles(3, 2, 3, 2), QStringList({QStringLiteral("base-2.png"), QStringLiteral("base-3.png")}));
    EXPECT_EQ(rangeFiles(3, 3, 0, 1), QStringList({QStringLiteral("base-3.png")}));
    // A single page before the first or past the last: the first page.
    EXPECT_EQ(rangeFiles(3, -2, 0, 1), QStringList({QStringLiteral("base-1.png")}));
    EXPECT_EQ(rangeFiles(3, 4, 0, 1), QStringList({QStringLiteral("base-1.png")}));
}
