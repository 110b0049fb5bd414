// The batch's walk over its items with a stand-in for the window and for the single-file step:
// which files are converted where, the counter and file bar, and when the final alert comes.
#include "common/TomefoldConversionOptions.h"
#include "app/batch/BatchExportWorker.h"
#include "common/LocalizedStrings.h"
#include "support/BatchTestFiles.h"
#include "common/UniqueFileNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace BatchTestFiles;

namespace {

// Records what the batch asks of the window, in order.
class RecordingHost : public BatchExportHost {
public:
    void SetEnableDisableControlWhileConversion(int status) override
    {
        log << QStringLiteral("controls %1").arg(status);
    }
    void GetConversionSettings(TomefoldConversionOptions* options) override
    {
        options->pageWidth = 100;
        log << QStringLiteral("settings");
    }
    void BeginProgressSheet() override
    {
        log << QStringLiteral("begin");
        barMaximum = 2;
        barValue = 0;
    }
    void ChangeProgressStatus(int status, const BatchProgress& progress) override
    {
        log << QStringLiteral("status %1").arg(status);
        if (status == kBatchStarted || status == kBatchItemStarted)
            counters << QStringLiteral("%1/%2").arg(progress.fileProcessingIndex).arg(progress.numOfFilesForConversion);
        ++barValue;
    }
    void raiseFileBarMaximum(qint64 addedItems) override { barMaximum += addedItems; }
    void EndProgressSheet() override { log << QStringLiteral("end"); }
    void forgetBatch() override { log << QStringLiteral("forget"); }
    void AlertOnSuccessConversion(const QUrl& destinationURL, const BatchOutcome& outcome) override
    {
        log << QStringLiteral("alert");
        alertDestination = destinationURL;
        alertOutcome = outcome;
    }

    QStringList log;
    QStringList counters;
    qint64 barMaximum = 0;
    qint64 barValue = 0;
    QUrl alertDestination;
    BatchOutcome alertOutcome;
};

// Stands in for the CHM export: a file beginning "ITSF" opens; "ITSF-blank" opens but prints no
// page; anything else does not open. An opened file gives "<name>.pdf" under the unique-name rule.
class FakeFileStep {
public:
    FileConversionResult operator()(const QUrl& source, const QUrl& destination, const TomefoldConversionOptions&)
    {
        converted << source.fileName();
        if (beforeConversion)
            beforeConversion(source);
        QFile file(source.toLocalFile());
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (!bytes.startsWith("ITSF"))
            return FileConversionResult::NotOpened;
        if (bytes == "ITSF-blank")
            return FileConversionResult::OpenedNothingWritten;
        QFile pdf(WBQUtil::GetUniqueOutputURL(destination, source, QStringLiteral("pdf"), false).toLocalFile());
        if (!pdf.open(QIODevice::WriteOnly))
            return FileConversionResult::OpenedNothingWritten;
        pdf.write("%PDF");
        return FileConversionResult::PDFWritten;
    }

    QStringList converted;
    std::function<void(const QUrl&)> beforeConversion;
};

class BatchExportWorkerTest : public testing::Test {
protected:
    QString in() const { return m_in.path(); }
    QString out() const { return m_out.path(); }

    // Runs a batch on this thread: the window's calls then happen at once.
    void runBatch(const std::vector<FileListItem>& items)
    {
        BatchExportWorker worker(host, items, QUrl::fromLocalFile(out()), cancelFlag,
                                 [this](const QUrl& s, const QUrl& d, const TomefoldConversionOptions& o) {
                                     return step(s, d, o);
                                 });
        worker.ExportToPDF();
        wroteAny = worker.wroteAnyPDF();
        skippedAny = worker.skippedAnyFile();
    }

    FileListItem file(const QString& relativePath) const { return {urlOf(in(), relativePath), false}; }
    FileListItem folder(const QString& relativePath) const { return {urlOf(in(), relativePath), true}; }

    QTemporaryDir m_in;
    QTemporaryDir m_out;
    RecordingHost host;
    FakeFileStep step;
    std::atomic<bool> cancelFlag{false};
    bool wroteAny = false;
    bool skippedAny = false;
};

TEST_F(BatchExportWorkerTest, OneFileCountsOneOfOneAndFillsTwoSteps)
{
    makeFile(in(), QStringLiteral("Guide.chm"));
    runBatch({file(QStringLiteral("Guide.chm"))});
    EXPECT_EQ(tree(out()), QStringList{QStringLiteral("Guide.pdf")});
    EXPECT_EQ(host.counters, QStringList{QStringLiteral("1/1")});
    EXPECT_EQ(host.barMaximum, 2);
    EXPECT_EQ(host.barValue, 2);
    EXPECT_EQ(host.alertDestination, QUrl::fromLocalFile(out()));
}

TEST_F(BatchExportWorkerTest, TwoFilesCountUpFromNothingAndFillTheBarExactly)
{
    makeFile(in(), QStringLiteral("a.chm"));
    makeFile(in(), QStringLiteral("b.chm"));
    runBatch({file(QStringLiteral("a.chm")), file(QStringLiteral("b.chm"))});
    EXPECT_EQ(host.counters, (QStringList{QStringLiteral("0/0"), QStringLiteral("1/2"), QStringLiteral("2/2")}));
    EXPECT_EQ(host.barMaximum, 4);
    EXPECT_EQ(host.barValue, 4);
    EXPECT_EQ(tree(out()), (QStringList{QStringLiteral("a.pdf"), QStringLiteral("b.pdf")}));
}

TEST_F(BatchExportWorkerTest, TheBatchIsForgottenBeforeTheControlsComeBackAndTheAlertComesLast)
{
    makeFile(in(), QStringLiteral("a.chm"));
    runBatch({file(QStringLiteral("a.chm"))});
    EXPECT_EQ(host.log, (QStringList{QStringLiteral("controls 1"), QStringLiteral("settings"), QStringLiteral("begin"),
                                     QStringLiteral("status 1"), QStringLiteral("status 5"), QStringLiteral("end"),
                                     QStringLiteral("forget"), QStringLiteral("controls 5"), QStringLiteral("alert")}));
}

TEST_F(BatchExportWorkerTest, FolderItemsBecomeSubfoldersAtEveryLevelButEmptyOnesDoNot)
{
    makeFile(in(), QStringLiteral("Docs/top.chm"));
    makeFile(in(), QStringLiteral("Docs/readme.txt"));
    makeFile(in(), QStringLiteral("Docs/.hidden.chm"));
    makeFile(in(), QStringLiteral("Docs/Part/inner.CHM"));
    makeFile(in(), QStringLiteral("Docs/Part/Deeper/deep.Chm"));
    makeFolder(in(), QStringLiteral("Docs/Empty"));
    makeFile(in(), QStringLiteral("Docs/TextOnly/notes.txt"));
    makeFolder(in(), QStringLiteral("Docs/Outer/InnerEmpty"));
    runBatch({folder(QStringLiteral("Docs"))});
    EXPECT_EQ(tree(out()), (QStringList{QStringLiteral("Docs/"), QStringLiteral("Docs/Outer/"),
                                        QStringLiteral("Docs/Part/"), QStringLiteral("Docs/Part/Deeper/"),
                                        QStringLiteral("Docs/Part/Deeper/deep.pdf"), QStringLiteral("Docs/Part/inner.pdf"),
                                        QStringLiteral("Docs/top.pdf")}));
    EXPECT_EQ(host.log.count(QStringLiteral("alert")), 1);
}

TEST_F(BatchExportWorkerTest, AnEmptyFolderItemStaysCountedAndLeavesTheBarOneStepShort)
{
    makeFolder(in(), QStringLiteral("Nothing"));
    makeFile(in(), QStringLiteral("Nothing/.hidden.chm"));
    makeFile(in(), QStringLiteral("a.chm"));
    makeFile(in(), QStringLiteral("b.chm"));
    runBatch({folder(QStringLiteral("Nothing")), file(QStringLiteral("a.chm")), file(QStringLiteral("b.chm"))});
    EXPECT_EQ(host.counters, (QStringList{QStringLiteral("0/0"), QStringLiteral("1/3"), QStringLiteral("2/3")}));
    EXPECT_EQ(host.barMaximum - host.barValue, 1);
    EXPECT_EQ(tree(out()), (QStringList{QStringLiteral("a.pdf"), QStringLiteral("b.pdf")}));
}

TEST_F(BatchExportWorkerTest, AnExistingSubfolderIsFilledAndSharedByFoldersOfTheSameName)
{
    makeFile(in(), QStringLiteral("one/Docs/a.chm"));
    makeFile(in(), QStringLiteral("two/Docs/a.chm"));
    makeFile(out(), QStringLiteral("Docs/a.pdf"), "%PDF-old");
    runBatch({folder(QStringLiteral("one/Docs")), folder(QStringLiteral("two/Docs"))});
    EXPECT_EQ(tree(out()), (QStringList{QStringLiteral("Docs/"), QStringLiteral("Docs/a 1.pdf"),
                                        QStringLiteral("Docs/a 2.pdf"), QStringLiteral("Docs/a.pdf")}));
    QFile old(QDir(out()).filePath(QStringLiteral("Docs/a.pdf")));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("%PDF-old"));
}

TEST_F(BatchExportWorkerTest, APlainFileOfTheFoldersNameDoesNotSwallowItsPDFs)
{
    makeFile(in(), QStringLiteral("Docs/a.chm"));
    makeFile(out(), QStringLiteral("Docs"), "a plain file");
    runBatch({folder(QStringLiteral("Docs"))});
    EXPECT_EQ(tree(out()), (QStringList{QStringLiteral("Docs"), QStringLiteral("Docs 1/"), QStringLiteral("Docs 1/a.pdf")}));
    EXPECT_EQ(host.log.count(QStringLiteral("alert")), 1);
}

TEST_F(BatchExportWorkerTest, AFolderReachedAgainThroughALinkIsNotDescendedInto)
{
    makeFile(in(), QStringLiteral("Docs/a.chm"));
    makeFile(in(), QStringLiteral("Docs/Sub/b.chm"));
    ASSERT_TRUE(QFile::link(QDir(in()).filePath(QStringLiteral("Docs")),
                            QDir(in()).filePath(QStringLiteral("Docs/Sub/LoopBack"))));
    ASSERT_TRUE(QFile::link(QDir(in()).filePath(QStringLiteral("Docs/Sub")),
                            QDir(in()).filePath(QStringLiteral("Docs/SubAgain"))));
    runBatch({folder(QStringLiteral("Docs"))});
    EXPECT_EQ(tree(out()), (QStringList{QStringLiteral("Docs/"), QStringLiteral("Docs/Sub/"),
                                        QStringLiteral("Docs/Sub/b.pdf"), QStringLiteral("Docs/a.pdf")}));
    EXPECT_EQ(step.converted, (QStringList{QStringLiteral("a.chm"), QStringLiteral("b.chm")}));
}

TEST_F(BatchExportWorkerTest, CancelDuringTheSecondOfThreeStartsNoLaterFileAndShowsNoAlert)
{
    for (const char* name : {"1.chm", "2.chm", "3.chm"})
        makeFile(in(), QString::fromLatin1(name));
    step.beforeConversion = [this](const QUrl& source) {
        if (source.fileName() == QStringLiteral("2.chm"))
            cancelFlag = true;
    };
    runBatch({file(QStringLiteral("1.chm")), file(QStringLiteral("2.chm")), file(QStringLiteral("3.chm"))});
    EXPECT_EQ(step.converted, (QStringList{QStringLiteral("1.chm"), QStringLiteral("2.chm")}));
    EXPECT_TRUE(wroteAny);
    EXPECT_FALSE(host.log.contains(QStringLiteral("alert")));
    // The sheet still ends and the controls still come back.
    EXPECT_TRUE(host.log.contains(QStringLiteral("end")));
    EXPECT_EQ(host.log.last(), QStringLiteral("controls 5"));
}

TEST_F(BatchExportWorkerTest, CancelStopsTheEnclosingLevelsToo)
{
    makeFile(in(), QStringLiteral("Docs/Inner/1.chm"));
    makeFile(in(), QStringLiteral("Docs/Inner/2.chm"));
    makeFile(in(), QStringLiteral("Docs/z.chm"));
    makeFile(in(), QStringLiteral("after.chm"));
    step.beforeConversion = [this](const QUrl&) { cancelFlag = true; };
    runBatch({folder(QStringLiteral("Docs")), file(QStringLiteral("after.chm"))});
    EXPECT_EQ(step.converted, QStringList{QStringLiteral("1.chm")});
}

TEST_F(BatchExportWorkerTest, ABatchThatWroteNothingSaysSoAndNamesEveryFile)
{
    makeFile(in(), QStringLiteral("broken.chm"), "not a CHM file");
    makeFile(in(), QStringLiteral("blank.chm"), "ITSF-blank");
    runBatch({file(QStringLiteral("broken.chm")), file(QStringLiteral("blank.chm"))});
    EXPECT_EQ(step.converted.size(), 2);
    EXPECT_FALSE(wroteAny);
    EXPECT_TRUE(skippedAny);
    ASSERT_EQ(host.log.count(QStringLiteral("alert")), 1);
    EXPECT_EQ(host.alertOutcome.converted, 0);
    EXPECT_EQ(host.alertOutcome.notConverted,
              (QStringList{Localized("NotOpenedReason").arg(QStringLiteral("broken.chm")),
                           Localized("NotWrittenReason").arg(QStringLiteral("blank.chm"))}));
    EXPECT_TRUE(tree(out()).isEmpty());

    host.log.clear();
    runBatch({file(QStringLiteral("blank.chm"))});
    EXPECT_EQ(host.log.count(QStringLiteral("alert")), 1);
    EXPECT_TRUE(host.alertOutcome.convertedNothing());
}

TEST_F(BatchExportWorkerTest, OneFailedFileOfThreeIsNamedWithItsFolder)
{
    makeFile(in(), QStringLiteral("a.chm"));
    makeFile(in(), QStringLiteral("Docs/broken.chm"), "not a CHM file");
    makeFile(in(), QStringLiteral("Docs/b.chm"));
    runBatch({file(QStringLiteral("a.chm")), folder(QStringLiteral("Docs"))});
    ASSERT_EQ(host.log.count(QStringLiteral("alert")), 1);
    EXPECT_EQ(host.alertOutcome.converted, 2);
    EXPECT_EQ(host.alertOutcome.notConverted,
              QStringList{Localized("NotOpenedReason").arg(QStringLiteral("Docs/broken.chm"))});
    EXPECT_FALSE(host.alertOutcome.convertedAll());
}

TEST_F(BatchExportWorkerTest, ABatchOfEmptyFoldersSaysNothingWasConverted)
{
    makeFolder(in(), QStringLiteral("Nothing"));
    runBatch({folder(QStringLiteral("Nothing"))});
    ASSERT_EQ(host.log.count(QStringLiteral("alert")), 1);
    EXPECT_TRUE(host.alertOutcome.convertedNothing());
    EXPECT_TRUE(host.alertOutcome.notConverted.isEmpty());
}

TEST_F(BatchExportWorkerTest, ABrokenFileIsSkippedAndTheRestStillConverted)
{
    makeFile(in(), QStringLiteral("broken.chm"), "not a CHM file");
    makeFile(in(), QStringLiteral("good.chm"));
    runBatch({file(QStringLiteral("broken.chm")), file(QStringLiteral("good.chm"))});
    EXPECT_EQ(tree(out()), QStringList{QStringLiteral("good.pdf")});
    EXPECT_TRUE(skippedAny);
    EXPECT_EQ(host.log.count(QStringLiteral("alert")), 1);
    EXPECT_EQ(host.alertOutcome.notConverted.size(), 1);
}

TEST_F(BatchExportWorkerTest, ACancelFlagLeftFromBeforeTheBatchDoesNotStopIt)
{
    makeFile(in(), QStringLiteral("a.chm"));
    cancelFlag = true;
    runBatch({file(QStringLiteral("a.chm")), file(QStringLiteral("a.chm"))});
    EXPECT_EQ(tree(out()), (QStringList{QStringLiteral("a 1.pdf"), QStringLiteral("a.pdf")}));
}

} // namespace
