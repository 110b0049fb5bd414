#include "support/PdfReadBack.h"
#include "support/PdfTestFiles.h"
#include "platform/PdfDocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(PdfDocument, RefusesBytesThatAreNotAPdf)
{
    QString error;
    EXPECT_EQ(PdfDocument::open(QByteArray("<html>not a pdf</html>"), &error), nullptr);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(PdfDocument::open(QByteArray()), nullptr);
}

TEST(PdfDocument, CopiedPagesOutliveTheirSourceAndKeepTheirOrder)
{
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    ASSERT_EQ(output->pageCount(), 0);
    {
        // The source bytes and document go away before the output is written.
        std::unique_ptr<PdfDocument> first = PdfDocument::open(PdfTestFiles::pagesWithTexts({"alpha", "beta"}));
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->pageCount(), 2);
        EXPECT_TRUE(output->appendPageCopy(*first, 1));
        EXPECT_TRUE(output->appendPageCopy(*first, 0));
        EXPECT_FALSE(output->appendPageCopy(*first, 2));
        EXPECT_FALSE(output->appendPageCopy(*first, -1));
    }
    {
        std::unique_ptr<PdfDocument> second = PdfDocument::open(PdfTestFiles::pagesWithTexts({"gamma"}));
        ASSERT_NE(second, nullptr);
        EXPECT_TRUE(output->appendPageCopy(*second, 0));
    }
    EXPECT_EQ(output->pageCount(), 3);
    EXPECT_EQ(PdfReadBack::pageTexts(output->toBytes()), QStringList({"beta", "alpha", "gamma"}));
}

TEST(PdfDocument, WritesThroughATemporaryFileIntoPlace)
{
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("out.pdf"));
    {
        QFile earlier(target);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier file");
    }
    std::unique_ptr<PdfDocument> source = PdfDocument::open(PdfTestFiles::pagesWithTexts({"one", "two"}));
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    ASSERT_TRUE(output->appendPageCopy(*source, 0));
    ASSERT_TRUE(output->appendPageCopy(*source, 1));
    QString error;
    ASSERT_TRUE(output->write(target, &error)) << error.toStdString();
    EXPECT_EQ(PdfReadBack::pageTexts(readFile(target)), QStringList({"one", "two"}));
    // Nothing but the written file is left in the folder.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"out.pdf"}));
}

TEST(PdfDocument, AFailedWriteReportsAnErrorAndLeavesNothing)
{
    QTemporaryDir folder;
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    QString error;
    EXPECT_FALSE(output->write(folder.filePath(QStringLiteral("missing/out.pdf")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}
