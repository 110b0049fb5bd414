// Whole batches through the window on compiled CHM files: the PDFs that come out and where, and
// what the user is told at the end.
#include "app/filelist/FileListController.h"
#include "app/conversion/ConvertCHMFileToPDF.h"
#include "app/filelist/FileListModel.h"
#include "app/window/ExportProgressSheet.h"
#include "support/BatchTestFiles.h"
#include "chm/ITSSScheme.h"
#include "common/LocalizedStrings.h"
#include "app/window/WindowTestFixture.h"
#include "export/pdfcore/ResourceFolder.h"
#include "platform/DesktopServices.h"
#include "platform/PdfDocument.h"
#include "support/PdfLinkTestFiles.h"
#include "support/PdfReadBack.h"

#include "TomefoldPaths.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QLabel>
#include <QProgressBar>
#include <QSet>
#include <QPushButton>

#include <cerrno>
#include <cstring>

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
    EXPECT_EQ(answerer.last().message, QString(""));
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

TEST_F(WindowBatchTest, AFailedFileOfThreeIsNamedAndABatchOfItAloneSaysNothingWasConverted)
{
    makeFile(in.path(), "Broken.chm", "ITSF but nothing a container would hold");
    copyFixture(kSmallCHM, in.path(), "Good.chm");
    copyFixture(kSmallCHM, in.path(), "Fine.chm");
    addFiles({inPath("Broken.chm"), inPath("Good.chm"), inPath("Fine.chm")});
    chooseDestination(out.path());
    {
        AlertAnswerer answerer({AlertAnswerer::click(Localized("OkButtonString"))});
        runBatch(actions().exportAll);
        EXPECT_EQ(writtenPDFs(), (QStringList{"Fine.pdf", "Good.pdf"}));
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.last().title, Localized("PartlyConvertedMsg").arg(2).arg(3));
        EXPECT_TRUE(answerer.last().message.contains(Localized("NotOpenedReason").arg("Broken.chm")));
        EXPECT_EQ(answerer.last().buttons, (QStringList{Localized("OkButtonString"), Localized("OpenDestinationTitle")}));
        EXPECT_EQ(notifications, QStringList{Localized("ExportCompleted")});
    }

    delegate->fileListController().SelectRowStartingAtRow(0, 1);
    AlertAnswerer answerer({AlertAnswerer::click(Localized("OkButtonString"))});
    runBatch(actions().exportSelected);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.last().title, Localized("NothingConvertedOneMsg"));
    EXPECT_TRUE(answerer.last().message.contains(QStringLiteral("Broken.chm")));
    // Nothing was written, so there is no folder to offer and nothing to announce.
    EXPECT_EQ(answerer.last().buttons, QStringList{Localized("OkButtonString")});
    EXPECT_EQ(notifications.size(), 1);
}

TEST_F(WindowBatchTest, ADestinationThatCannotBeOpenedIsNamedToTheUser)
{
    // A desktop with no program that shows folders.
    class NoFolderViewer final : public DesktopServices {
    public:
        bool openUrl(const QUrl&) override { return false; }
    };
    std::unique_ptr<DesktopServices> recorder = DesktopServices::replace(std::make_unique<NoFolderViewer>());
    copyFixture(kSmallCHM, in.path(), "Guide.chm");
    addFiles({inPath("Guide.chm")});
    chooseDestination(out.path());
    AlertAnswerer answerer({AlertAnswerer::click(Localized("OpenDestinationTitle")),
                            AlertAnswerer::click(Localized("OkButtonString"))});

    runBatch(actions().exportAll);
    DesktopServices::replace(std::move(recorder));

    ASSERT_EQ(answerer.seen().size(), 2u);
    EXPECT_EQ(answerer.seen().front().title, Localized("SuccessfullConvertOneMsg"));
    EXPECT_EQ(answerer.last().title, Localized("OpenFolderFailedTitle"));
    EXPECT_TRUE(answerer.last().message.contains(QDir::toNativeSeparators(out.path())));
    EXPECT_EQ(answerer.unexpectedCount(), 0);
}

// A copy of a compiled fixture cut to its first `bytes`, as a download cut short.
void copyCutFixture(const QString& fixture, const QString& root, const QString& name, qint64 bytes)
{
    copyFixture(fixture, root, name);
    QFile file(QDir(root).filePath(name));
    ASSERT_TRUE(file.resize(bytes));
}

// Makes the directory place the object's data past the end of the file, keeping the entry's size:
// it moves to the uncompressed section (0) at the largest offset its two bytes can hold. The
// object is then listed, but the file no longer holds it, as in a file cut short.
void placePastTheEnd(QByteArray& bytes, const QByteArray& name)
{
    const QByteArray entry = char(name.size()) + name + char(1); // compressed section
    const qsizetype at = bytes.indexOf(entry);
    ASSERT_GE(at, 0) << name.constData();
    const qsizetype offset = at + entry.size();
    ASSERT_TRUE((static_cast<unsigned char>(bytes.at(offset)) & 0x80) != 0) << "an offset of two bytes";
    ASSERT_TRUE((static_cast<unsigned char>(bytes.at(offset + 1)) & 0x80) == 0);
    bytes[at + entry.size() - 1] = char(0);
    bytes[offset] = char(0xFF);
    bytes[offset + 1] = char(0x7F);
}

TEST_F(WindowBatchTest, ADamagedFileIsNamedWithWhatCouldNotBeReadAndOneWithNothingReadableIsNotConverted)
{
    copyFixture(QStringLiteral("export-many"), in.path(), "Damaged.chm");
    {
        QFile damaged(inPath("Damaged.chm"));
        ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
        QByteArray bytes = damaged.readAll();
        for (const QByteArray name : {"/topic05.htm", "/topic06.htm", "/toc.hhc"})
            placePastTheEnd(bytes, name);
        ASSERT_TRUE(damaged.seek(0));
        ASSERT_EQ(damaged.write(bytes), bytes.size());
    }
    copyCutFixture(QStringLiteral("export-many"), in.path(), "Header.chm", 4096);
    makeFile(in.path(), "x.chm", "just text");
    addFiles({inPath("Damaged.chm"), inPath("Header.chm"), inPath("x.chm")});
    chooseDestination(out.path());
    {
        AlertAnswerer answerer({AlertAnswerer::click(Localized("OkButtonString"))});

        runBatch(actions().exportAll);

        EXPECT_EQ(writtenPDFs(), QStringList{"Damaged.pdf"});
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.last().title, Localized("PartlyConvertedMsg").arg(1).arg(3));
        const QString message = answerer.last().message;
        EXPECT_TRUE(message.contains(Localized("NotOpenedReason").arg("x.chm"))) << message.toStdString();
        EXPECT_TRUE(message.contains(Localized("NoTopicReadReason").arg("Header.chm"))) << message.toStdString();
        EXPECT_TRUE(message.contains(Localized("DamagedTopicsAndContentsLine").arg("Damaged.chm").arg(2).arg(24)))
            << message.toStdString();
    }

    // Alone, the damaged file's PDF is no plain success either.
    delegate->fileListController().SelectRowStartingAtRow(0, 1);
    AlertAnswerer alone({AlertAnswerer::click(Localized("OkButtonString"))});
    runBatch(actions().exportSelected);
    ASSERT_EQ(alone.seen().size(), 1u);
    EXPECT_EQ(alone.last().title, Localized("ConvertedButDamagedMsg"));
}

TEST_F(WindowBatchTest, ADestinationThatTakesNoFilesIsToldBeforeAnythingIsConvertedAndOneGoneMidwayIsNotOffered)
{
    copyFixture(kSmallCHM, in.path(), "Guide.chm");
    copyFixture(kSmallCHM, in.path(), "Notes.chm");
    addFiles({inPath("Guide.chm"), inPath("Notes.chm")});
    const QString gone = QDir(out.path()).filePath(QStringLiteral("gone"));
    chooseDestination(gone);
    {
        AlertAnswerer answerer({AlertAnswerer::click(Localized("OkButtonString"))});
        actions().exportAll->trigger();
        EXPECT_FALSE(delegate->isBatchRunning());
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.last().title, Localized("DestinationRefusedTitle").arg(QDir::toNativeSeparators(gone)));
        EXPECT_TRUE(answerer.last().message.contains(QString::fromLocal8Bit(std::strerror(ENOENT))));
        EXPECT_TRUE(actions().exportAll->isEnabled());
    }

    // The folder goes after the first file: the second is not printed, its cause is named, and
    // the folder is not offered.
    makeFolder(out.path(), "gone");
    int files = 0;
    delegate->setFileStep([&files, gone](const QUrl& source, const QUrl& destination, const TomefoldConversionOptions& options) {
        const FileConversionReport report = ConvertImageFormatFromURL(source, destination, options);
        if (++files == 1)
            QDir(gone).removeRecursively();
        return report;
    });
    AlertAnswerer answerer({AlertAnswerer::click(Localized("OkButtonString"))});
    runBatch(actions().exportAll);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.last().title, Localized("PartlyConvertedMsg").arg(1).arg(2));
    EXPECT_TRUE(answerer.last().message.contains(
        Localized("NotWrittenCauseReason").arg("Notes.chm", QString::fromLocal8Bit(std::strerror(ENOENT)))))
        << answerer.last().message.toStdString();
    EXPECT_EQ(answerer.last().buttons, QStringList{Localized("OkButtonString")});
}

// Notes what the progress sheet's export controls show each time one of them is painted.
class PaintedProgress : public QObject {
public:
    explicit PaintedProgress(ExportProgressSheet& sheet)
        : m_sheet(sheet)
    {
        for (QWidget* control : std::initializer_list<QWidget*>{sheet.exportFilenameLabel(), sheet.exportNoticeLabel(),
                                                                sheet.exportProgressIndicator()})
            control->installEventFilter(this);
    }

    struct Shown {
        QString title;
        QString notice;
        int value = 0;
        int maximum = 0;
        bool operator==(const Shown&) const = default;
    };
    const std::vector<Shown>& shown() const { return m_shown; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            const QProgressBar& bar = *m_sheet.exportProgressIndicator();
            const Shown now{m_sheet.exportFilenameLabel()->text(), m_sheet.exportNoticeLabel()->text(), bar.value(),
                            bar.maximum()};
            if (m_shown.empty() || !(m_shown.back() == now))
                m_shown.push_back(now);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    ExportProgressSheet& m_sheet;
    std::vector<Shown> m_shown;
};

TEST_F(WindowBatchTest, TheSheetShowsEveryTopicThenSavingThenEnds)
{
    constexpr int kTopics = 24;
    copyFixture(QStringLiteral("export-many"), in.path(), "Many.chm");
    addFiles({inPath("Many.chm")});
    chooseDestination(out.path());
    PaintedProgress painted(delegate->progressSheet());
    AlertAnswerer answerer({AlertAnswerer::click(Localized("OkButtonString"))});

    runBatch(actions().exportAll);

    ASSERT_EQ(writtenPDFs(), QStringList{"Many.pdf"});
    const QString exporting = Localized("Exporting").arg("Many.chm");
    const QString saving = Localized("Saving").arg("Many.pdf");
    QSet<int> barValues;
    QSet<QString> notices;
    std::size_t lastExporting = 0;
    std::size_t firstSaving = 0;
    for (std::size_t index = 0; index < painted.shown().size(); ++index) {
        const PaintedProgress::Shown& shown = painted.shown()[index];
        if (shown.title == exporting) {
            barValues.insert(shown.value);
            notices.insert(shown.notice);
            lastExporting = index;
        } else if (shown.title == saving && firstSaving == 0) {
            firstSaving = index;
        }
    }
    // One page per topic: every topic moves the bar and raises the count, as it is painted.
    EXPECT_GE(barValues.size(), kTopics);
    EXPECT_GE(notices.size(), kTopics);
    EXPECT_TRUE(notices.contains(QStringLiteral("%1 %2").arg(kTopics - 1).arg(Localized("pages"))));
    EXPECT_GT(firstSaving, lastExporting);
    EXPECT_FALSE(delegate->progressSheet().isVisible());
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.last().title, Localized("SuccessfullConvertOneMsg"));
}

TEST_F(WindowBatchTest, TheBuiltManualShowsItsTextsAsWritten)
{
    QFile manual(QDir(QString::fromUtf8(TomefoldPaths::kBuildManualDir)).filePath(AppDelegate::kUserManualFileName));
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly)) << manual.fileName().toStdString();
    const QByteArray bytes = manual.readAll();
    QString text = PdfReadBack::pageTexts(bytes).join(QLatin1Char('\n'));
    for (const PdfLinkTestFiles::ReadOutline& entry : PdfLinkTestFiles::outlineOf(bytes))
        text += QLatin1Char('\n') + entry.title;
    EXPECT_TRUE(text.contains(QStringLiteral("Presets…")));
    // UTF-8 read in a code page: "…" becomes "â€¦", "é" becomes "Ã©"; bytes that decode to
    // nothing become the replacement character.
    for (const QString& mojibake : {QStringLiteral("â€"), QStringLiteral("Ã"), QStringLiteral("Â"), QStringLiteral("\uFFFD")})
        EXPECT_FALSE(text.contains(mojibake)) << mojibake.toStdString();
}

TEST_F(WindowBatchTest, TheInstalledManualLiesWhereHelpLooksAndHelpOpensIt)
{
    QTemporaryDir prefix;
    QProcess install;
    install.start(QStringLiteral(TOMEFOLD_TEST_CMAKE),
                  {QStringLiteral("--install"), QStringLiteral(TOMEFOLD_TEST_BUILD_DIR), QStringLiteral("--prefix"),
                   prefix.path()});
    ASSERT_TRUE(install.waitForFinished(300000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();

    // The folder the installed application takes for its resources.
    const QString executable = QDir(prefix.path()).filePath(QStringLiteral("bin/tomefold"));
    ASSERT_TRUE(QFileInfo(executable).isExecutable());
    const QString resources = QString::fromStdString(
        PDFCore::resourceFolderForExecutable(executable.toStdString(), TomefoldPaths::kResourceInstallDir));
    QFile manual(QDir(resources).filePath(AppDelegate::kUserManualFileName));
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly)) << manual.fileName().toStdString();
    const QByteArray bytes = manual.readAll();
    const std::unique_ptr<PdfDocument> document = PdfDocument::open(bytes);
    ASSERT_NE(document, nullptr);
    EXPECT_GE(document->pageCount(), 7); // a page or more for each of its topics
    EXPECT_TRUE(bytes.contains("<pdf:Producer>Tomefold</pdf:Producer>"));

    delegate->setUserManualFolder(resources);
    AlertAnswerer answerer;
    actions().help->trigger();
    EXPECT_EQ(desktop.opened(), QList<QUrl>{QUrl::fromLocalFile(manual.fileName())});
    EXPECT_TRUE(answerer.seen().empty());
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
