#include "support/PdfReadBack.h"
#include "support/PdfTestFiles.h"
#include "support/StubProgressDelegate.h"
#include "toolkit/ToolkitTestImages.h"
#include "toolkit/imagestopdf/PDFPageProbe.h"

#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/imagestopdf/ImageToPDFConverter.h"
#include "toolkit/options/ImagesToPDFConversionOptions.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <vector>

using namespace ToolkitTestImages;

namespace {

class RecordingDelegate : public StubProgressDelegate {
public:
    void report(long value)
    {
        values.push_back(value);
        // Asked to stop after the given number of items.
        if (value == 3 && --itemsBeforeCancel == 0)
            cancel = true;
    }
    std::vector<long> values;
    int itemsBeforeCancel = -1;
};

class ImagesToPDFRunners : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }
    QUrl url(const QString& name) const { return QUrl::fromLocalFile(path(name)); }

    void SetUp() override
    {
        ASSERT_TRUE(QDir(m_folder.path()).mkdir("out"));
        ASSERT_TRUE(writeJPEG(path("one.jpg"), quadrantImage(10, 10), 72, false));
        ASSERT_TRUE(writePNG(path("two.png"), quadrantImage(20, 10), 72));
        ASSERT_TRUE(writeJPEG(path("three.jpg"), quadrantImage(30, 10), 72, false));
        options.outputType = ImageType::JPEG;
        options.quality = 0.8;
        options.scalePercent = 100;
        options.progress = {&delegate, static_cast<ProgressCallbackInfo::Selector>(&RecordingDelegate::report)};
    }

    void list(const QStringList& names)
    {
        options.items.clear();
        for (const QString& name : names)
            options.items.append({{ConversionListKey::FilePath, url(name)}, {ConversionListKey::Angle, 0}});
    }

    bool run(bool merged)
    {
        ImageToPDFConverter converter;
        converter.SetOptions(options);
        converter.SetListProgressCallback(options.progress.object, options.progress.selector);
        return merged ? converter.ConvertToSinglePDF() : converter.ConvertToSeparatePDFs();
    }

    QList<int> widthsOf(const QString& file) const
    {
        QList<int> widths;
        for (const PDFPageProbe::Page& page : PDFPageProbe::pagesOf(file))
            widths.append(page.imageWidth);
        return widths;
    }

    ImagesToPDFConversionOptions options;
    RecordingDelegate delegate;
    QTemporaryDir m_folder;
};

} // namespace

TEST_F(ImagesToPDFRunners, MergedPagesFollowTheListAndTheReports)
{
    list({"three.jpg", "one.jpg", "two.png"});
    options.destinationURL = url("merged.pdf");
    ASSERT_TRUE(writeBytes(path("merged.pdf"), "old"));
    ASSERT_TRUE(run(true));
    EXPECT_EQ(widthsOf(path("merged.pdf")), (QList<int>{30, 10, 20}));
    EXPECT_TRUE(PDFPageProbe::qpdfCheck(path("merged.pdf")));
    EXPECT_EQ(delegate.values, (std::vector<long>{3, 3, 3, 6, 7}));
}

TEST_F(ImagesToPDFRunners, MergedRunSkipsAFileThatAddsNothingButWritesNoEmptyFile)
{
    // The gap is written around, and reported: a later success does not hide it.
    list({"one.jpg", "missing.jpg", "three.jpg"});
    options.destinationURL = url("merged.pdf");
    EXPECT_FALSE(run(true));
    EXPECT_EQ(widthsOf(path("merged.pdf")), (QList<int>{10, 30}));

    list({"missing.jpg"});
    options.destinationURL = url("empty.pdf");
    EXPECT_FALSE(run(true));
    EXPECT_FALSE(QFileInfo::exists(path("empty.pdf")));

    // An empty list fails nothing and writes nothing; an item that is none is a file that adds nothing.
    list({});
    EXPECT_TRUE(run(true));
    EXPECT_FALSE(QFileInfo::exists(path("empty.pdf")));
    list({"one.jpg"});
    options.items.append(ConversionListItem());
    EXPECT_FALSE(run(true));
    EXPECT_EQ(widthsOf(path("empty.pdf")), QList<int>{10});
}

TEST_F(ImagesToPDFRunners, APDFItemsPagesGoInAsTheyAreWithTheirText)
{
    ASSERT_TRUE(writeBytes(path("words.pdf"), PdfTestFiles::pagesWithTexts({QStringLiteral("first words"), QStringLiteral("second words")})));
    list({"one.jpg", "words.pdf"});
    options.destinationURL = url("merged.pdf");
    ASSERT_TRUE(run(true));
    QFile merged(path("merged.pdf"));
    ASSERT_TRUE(merged.open(QIODevice::ReadOnly));
    const QStringList texts = PdfReadBack::pageTexts(merged.readAll());
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts.at(1).contains(QStringLiteral("first words")));
    EXPECT_TRUE(texts.at(2).contains(QStringLiteral("second words")));
}

TEST_F(ImagesToPDFRunners, SeparateFilesAreNamedAfterTheImages)
{
    list({"one.jpg", "two.png"});
    options.destinationURL = QUrl::fromLocalFile(path("out"));
    ASSERT_TRUE(run(false));
    EXPECT_EQ(widthsOf(path("out/one.pdf")), QList<int>{10});
    EXPECT_EQ(widthsOf(path("out/two.pdf")), QList<int>{20});
    EXPECT_TRUE(PDFPageProbe::qpdfCheck(path("out/one.pdf")));
    EXPECT_EQ(delegate.values, (std::vector<long>{3, 3}));

    // An existing file is kept: the new one takes the next free name. A failed item writes nothing,
    // and fails the run wherever it stands in the list.
    list({"one.jpg", "missing.jpg"});
    EXPECT_FALSE(run(false));
    EXPECT_TRUE(QFileInfo::exists(path("out/one 1.pdf")));
    EXPECT_FALSE(QFileInfo::exists(path("out/missing.pdf")));
    list({"missing.jpg", "three.jpg"});
    EXPECT_FALSE(run(false));
    EXPECT_TRUE(QFileInfo::exists(path("out/three.pdf")));
}

TEST_F(ImagesToPDFRunners, CancelStopsTheRunAndWritesNoMergedFile)
{
    list({"one.jpg", "two.png", "three.jpg"});
    options.destinationURL = url("merged.pdf");
    delegate.itemsBeforeCancel = 2;
    EXPECT_FALSE(run(true));
    EXPECT_FALSE(QFileInfo::exists(path("merged.pdf")));
    EXPECT_EQ(delegate.values, (std::vector<long>{3, 3}));

    delegate.cancel = false;
    delegate.values.clear();
    delegate.itemsBeforeCancel = 1;
    options.destinationURL = QUrl::fromLocalFile(path("out"));
    EXPECT_FALSE(run(false));
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files), QStringList{"one.pdf"});
}
