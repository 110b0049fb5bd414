// The single-file step on compiled CHM files: where its PDF goes, and what it says it did.
#include "common/ConversionProgressDelegate.h"
#include "common/TomefoldConversionOptions.h"
#include "app/conversion/ConvertCHMFileToPDF.h"
#include "support/BatchTestFiles.h"
#include "chm/ITSSScheme.h"
#include "support/StubProgressDelegate.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

using namespace BatchTestFiles;

void registerTestUrlSchemes()
{
    registerITSSScheme();
}

namespace {

TomefoldConversionOptions letterOptions()
{
    TomefoldConversionOptions options;
    options.pageWidth = 612;
    options.pageHeight = 792;
    options.leftMargin = options.rightMargin = options.topMargin = options.bottomMargin = 36;
    options.exportHyperlinks = options.exportTOC = 1;
    return options;
}

// Runs the step as the batch does, on another thread, while this one serves the web pages.
FileConversionResult convertOffMainThread(const QUrl& source, const QUrl& destination,
                                          const TomefoldConversionOptions& options)
{
    std::atomic<bool> done{false};
    FileConversionResult result = FileConversionResult::NotOpened;
    std::thread worker([&] {
        result = ConvertImageFormatFromURL(source, destination, options).result;
        done = true;
    });
    while (!done)
        QTest::qWait(5);
    worker.join();
    return result;
}

QByteArray head(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(5) : QByteArray();
}

class ConvertCHMFileTest : public testing::Test {
protected:
    QTemporaryDir in;
    QTemporaryDir out;
};

TEST_F(ConvertCHMFileTest, APDFNamedAfterTheFileTakesTheNextFreeNumber)
{
    copyFixture(QStringLiteral("export-five"), in.path(), QStringLiteral("Guide.chm"));
    makeFile(out.path(), QStringLiteral("Guide.pdf"), "%PDF-earlier");
    const QUrl source = urlOf(in.path(), QStringLiteral("Guide.chm"));
    const QUrl destination = QUrl::fromLocalFile(out.path());

    EXPECT_EQ(convertOffMainThread(source, destination, letterOptions()), FileConversionResult::PDFWritten);
    EXPECT_EQ(head(QDir(out.path()).filePath(QStringLiteral("Guide 1.pdf"))), QByteArray("%PDF-"));
    EXPECT_EQ(convertOffMainThread(source, destination, letterOptions()), FileConversionResult::PDFWritten);
    EXPECT_EQ(tree(out.path()),
              (QStringList{QStringLiteral("Guide 1.pdf"), QStringLiteral("Guide 2.pdf"), QStringLiteral("Guide.pdf")}));
    QFile earlier(QDir(out.path()).filePath(QStringLiteral("Guide.pdf")));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("%PDF-earlier"));
}

TEST_F(ConvertCHMFileTest, AFileThatIsNotACHMIsNotOpenedAndLeavesNothing)
{
    makeFile(in.path(), QStringLiteral("fake.chm"), "just some text, not a container");
    EXPECT_EQ(convertOffMainThread(urlOf(in.path(), QStringLiteral("fake.chm")), QUrl::fromLocalFile(out.path()),
                                   letterOptions()),
              FileConversionResult::NotOpened);
    EXPECT_EQ(convertOffMainThread(urlOf(in.path(), QStringLiteral("missing.chm")), QUrl::fromLocalFile(out.path()),
                                   letterOptions()),
              FileConversionResult::NotOpened);
    EXPECT_TRUE(tree(out.path()).isEmpty());
}

TEST_F(ConvertCHMFileTest, AFileOpenedAndCancelledCountsAsOpenedButNotWritten)
{
    copyFixture(QStringLiteral("export-five"), in.path(), QStringLiteral("Guide.chm"));
    StubProgressDelegate cancelling(true);
    TomefoldConversionOptions options = letterOptions();
    options.progressCallback.object = &cancelling;
    EXPECT_EQ(convertOffMainThread(urlOf(in.path(), QStringLiteral("Guide.chm")), QUrl::fromLocalFile(out.path()),
                                   options),
              FileConversionResult::OpenedNothingWritten);
    EXPECT_TRUE(tree(out.path()).isEmpty());
}

TEST_F(ConvertCHMFileTest, ADestinationThatIsNotALocalFolderWritesNothing)
{
    copyFixture(QStringLiteral("export-five"), in.path(), QStringLiteral("Guide.chm"));
    EXPECT_EQ(convertOffMainThread(urlOf(in.path(), QStringLiteral("Guide.chm")),
                                   QUrl(QStringLiteral("https://example.invalid/out/")), letterOptions()),
              FileConversionResult::OpenedNothingWritten);
}

} // namespace
