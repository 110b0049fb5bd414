// Whole batches through the window on compiled CHM files: the PDFs that come out and where, and
// what the user is told at the end.
#include "app/filelist/FileListController.h"
#include "app/filelist/FileListModel.h"
#include "app/window/ExportProgressSheet.h"
#include "support/BatchTestFiles.h"
#include "chm/ITSSScheme.h"
#include "common/LocalizedStrings.h"
#include "app/window/WindowTestFixture.h"

#include <QAction>
#include <QFile>
#include <QPushButton>

using namespace BatchTestFiles;

void registerTestUrlSchemes()
{
    registerITSSScheme();
}

namespace {

const QString kSmallCHM = QStringLiteral("export-five");

class WindowBatchTest : public WindowTestFixture {
protected:
    QString inPath(const QString& relative) const { return QDir(in.path()).filePath(relative); }

    // The PDFs below the destination, each checked to be a PDF.
    QStringList writtenPDFs() const
    {
        const QStringList all = tree(out.path());
        for (const QString& entry : all) {
            if (!entry.endsWith(QLatin1Char('/')) && entry.endsWith(QStringLiteral(".pdf"))) {
                QFile file(QDir(out.path()).filePath(entry));
                EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-") << entry.toStdString();
            }
        }
        return all;
    }

    QTemporaryDir in;
    QTemporaryDir out;
};

TEST_F(WindowBatchTest, OnlyTheSelectedRowsAreExported)
{
    for (const char* name : {"Alpha.chm", "Beta.chm", "Gamma.chm"})
        copyFixture(kSmallCHM, in.path(), QString::fromLatin1(name));
    addFiles({inPath("Alpha.chm"), inPath("Beta.chm"), inPath("Gamma.chm")});
    QItemSelectionModel& selection = delegate->fileListController().selectionModel();
    selection.clearSelection();
    for (const int row : {0, 2})
        selection.select(delegate->fileList().index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    chooseDestination(out.path());
    AlertAnswerer answerer({AlertAnswerer::click(Localized("OkButtonString"))});

    runBatch(actions().exportSelected);

    EXPECT_EQ(writtenPDFs(), (QStringList{"Alpha.pdf", "Gamma.pdf"}));
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.last().title, Localized("SuccessfullConvertMsg"));
    EXPECT_EQ(answerer.last().buttons, (QStringList{Localized("OkButtonString"), Localized("OpenDestinationTitle")}));
    EXPECT_EQ(notifications, QStringList{Localized("ExportCompleted")});
    EXPECT_TRUE(desktop.opened().isEmpty());
}

TEST_F(WindowBatchTest, AllRowsWithAKeptFolderAndANameClashAndTheDestinationOpened)
{
    copyFixture(kSmallCHM, in.path(), "Guide.chm");
    copyFixture(kSmallCHM, in.path(), "Manuals/Setup.chm");
    copyFixture(kSmallCHM, in.path(), "Manuals/Advanced/Tuning.chm");
    makeFolder(in.path(), "Manuals/Empty");
    makeFile(in.path(), "Manuals/Notes/readme.txt", "not a help file");
    makeFile(out.path(), "Guide.pdf", "%PDF-earlier");
    addFiles({inPath("Guide.chm")});
    addKeptFolder(inPath("Manuals"));
    chooseDestination(out.path());
    AlertAnswerer answerer({AlertAnswerer::click(Localized("OpenDestinationTitle"))});

    runBatch(actions().exportAll);

    EXPECT_EQ(writtenPDFs(), (QStringList{"Guide 1.pdf", "Guide.pdf", "Manuals/", "Manuals/Advanced/",
                                          "Manuals/Advanced/Tuning.pdf", "Manuals/Setup.pdf"}));
    EXPECT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(desktop.opened(), QList<QUrl>{QUrl::fromLocalFile(out.path())});
}

TEST_F(WindowBatchTest, ABrokenFileIsSkippedWithoutAMessage)
{
    makeFile(in.path(), "Broken.chm", "ITSF but nothing a container would hold");
    copyFixture(kSmallCHM, in.path(), "Good.chm");
    addFiles({inPath("Broken.chm"), inPath("Good.chm")});
    chooseDestination(out.path());
    {
        AlertAnswerer answerer({AlertAnswerer::click(Localized("OkButtonString"))});
        runBatch(actions().exportAll);
        EXPECT_EQ(writtenPDFs(), QStringList{"Good.pdf"});
        EXPECT_EQ(answerer.seen().size(), 1u); // the final alert, nothing about the broken file
    }

    delegate->fileListController().SelectRowStartingAtRow(0, 1);
    AlertAnswerer answerer;
    runBatch(actions().exportSelected);
    EXPECT_TRUE(answerer.seen().empty());
    EXPECT_EQ(notifications.size(), 1); // only the first batch's
}

TEST_F(WindowBatchTest, CancelDuringTheSecondOfThreeFilesStartsNoLaterFileAndSaysNothing)
{
    for (const char* name : {"One.chm", "Two.chm", "Three.chm"})
        copyFixture(kSmallCHM, in.path(), QString::fromLatin1(name));
    addFiles({inPath("One.chm"), inPath("Two.chm"), inPath("Three.chm")});
    chooseDestination(out.path());
    QList<qint64> filesStarted;
    QObject::connect(delegate.get(), &AppDelegate::fileCounterChanged, delegate.get(), [&](qint64 index, qint64) {
        filesStarted << index;
        if (index == 2)
            QTest::mouseClick(delegate->progressSheet().cancelButton(), Qt::LeftButton);
    });
    AlertAnswerer answerer;

    runBatch(actions().exportAll);

    EXPECT_EQ(filesStarted, (QList<qint64>{0, 1, 2}));
    EXPECT_EQ(writtenPDFs(), QStringList{"One.pdf"});
    EXPECT_TRUE(answerer.seen().empty());
    EXPECT_TRUE(notifications.isEmpty());
    EXPECT_FALSE(delegate->progressSheet().isVisible());
    EXPECT_TRUE(actions().exportAll->isEnabled() && actions().add->isEnabled());
}

} // namespace
