#include "platform/PdfDocument.h"
#include "interpose/RefusedRename.h"
#include "support/PdfTestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kRefusedName = QString::fromLatin1(kRefusedRenamePrefix) + QStringLiteral(".pdf");

} // namespace

TEST(PdfDocumentCommit, AFileThatCannotBePutInPlaceIsAFailedWriteAndTheEarlierFileStays)
{
    QTemporaryDir folder;
    const QString target = folder.filePath(kRefusedName);
    {
        QFile earlier(target);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier file");
    }
    const std::unique_ptr<PdfDocument> source = PdfDocument::open(PdfTestFiles::pagesWithTexts({"one"}));
    ASSERT_NE(source, nullptr);
    const std::unique_ptr<PdfDocument> output = PdfDocument::create();
    ASSERT_TRUE(output->appendPageCopy(*source, 0));

    QString error;
    EXPECT_FALSE(output->write(target, &error));
    EXPECT_FALSE(error.isEmpty());
    QFile written(target);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("earlier file"));
    // The temporary file went with the failed commit.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList({kRefusedName}));

    // The same document goes in place under another name: only the commit failed.
    EXPECT_TRUE(output->write(folder.filePath(QStringLiteral("accepted.pdf")), &error)) << error.toStdString();
}
