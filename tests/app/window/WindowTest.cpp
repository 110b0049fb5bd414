// The main window as a user meets it: which commands are on, the page size at start, closing, the
// help, support and rating commands, and a batch's hold on the window (with a stand-in for the
// CHM export, so no web engine starts).
#include "app/filelist/FileListController.h"
#include "app/filelist/FileListModel.h"
#include "app/filelist/FileListTableView.h"
#include "app/options/ExportOptionsPanel.h"
#include "app/options/Stepper.h"
#include "app/presets/PreferencePlist.h"
#include "app/rating/MacAppStoreRating.h"
#include "app/window/ExportFolderChooser.h"
#include "app/window/ExportProgressSheet.h"
#include "support/BatchTestFiles.h"
#include "support/HangGuard.h"
#include "common/LocalizedStrings.h"
#include "app/window/WindowTestFixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QToolBar>
#include <QToolButton>

#include <condition_variable>

using namespace BatchTestFiles;

namespace {

class WindowTest : public WindowTestFixture {
protected:
    // Three CHM-named files in the list (their content does not matter to the list).
    void addThreeFiles()
    {
        for (const char* name : {"a.chm", "b.chm", "c.chm"})
            makeFile(files.path(), QString::fromLatin1(name));
        addFiles({QDir(files.path()).filePath(QStringLiteral("a.chm")), QDir(files.path()).filePath(QStringLiteral("b.chm")),
                  QDir(files.path()).filePath(QStringLiteral("c.chm"))});
    }

    QStringList enabledCommands() const
    {
        QStringList enabled;
        for (const QAction* action : delegate->findChildren<QAction*>()) {
            if (action->isEnabled() && !action->objectName().isEmpty())
                enabled << action->objectName();
        }
        enabled.sort();
        return enabled;
    }

    QTemporaryDir files;
    QTemporaryDir out;
};

TEST_F(WindowTest, AnEmptyListOffersOnlyAddingAndTheWindowsOwnCommands)
{
    EXPECT_EQ(enabledCommands(), (QStringList{"About", "Add", "AddFolder", "Help", "Hide", "Quit"}));
    EXPECT_EQ(delegate->mainWindow()->windowTitle(), Localized("FullAppTitle"));
}

TEST_F(WindowTest, OneSelectedRowOffersExportAndRemovalButNoMove)
{
    makeFile(files.path(), QStringLiteral("only.chm"));
    addFiles({QDir(files.path()).filePath(QStringLiteral("only.chm"))});
    ASSERT_EQ(delegate->fileList().numberOfRows(), 1);
    EXPECT_EQ(enabledCommands(), (QStringList{"About", "Add", "AddFolder", "Export", "ExportAll", "Help", "Hide",
                                              "Quit", "Remove", "RemoveAll", "SelectAll"}));
}

TEST_F(WindowTest, TheFirstRowSelectedOffersOnlyTheDownwardMoves)
{
    addThreeFiles();
    delegate->fileListController().SelectRowStartingAtRow(0, 1);
    const QStringList enabled = enabledCommands();
    EXPECT_TRUE(enabled.contains("MoveDown") && enabled.contains("MoveBottom"));
    EXPECT_FALSE(enabled.contains("MoveUp") || enabled.contains("MoveTop"));
    EXPECT_TRUE(enabled.contains("Export") && enabled.contains("Remove"));
}

TEST_F(WindowTest, ToolbarItemsAndButtonsShareTheCommandsAndShowTheirImages)
{
    QToolBar* toolbar = delegate->mainWindow()->mainToolbar();
    QStringList identifiers;
    for (const QAction* item : toolbar->actions()) {
        if (item->isSeparator() || item->objectName().isEmpty())
            continue;
        identifiers << item->objectName();
        EXPECT_FALSE(item->icon().isNull()) << item->objectName().toStdString();
    }
    EXPECT_EQ(identifiers.mid(identifiers.size() - 2), (QStringList{"Rating", "Help"}));
    EXPECT_EQ(delegate->mainWindow()->exportButton()->defaultAction(), actions().exportSelected);
    EXPECT_EQ(delegate->mainWindow()->exportAllButton()->defaultAction(), actions().exportAll);
}

TEST_F(WindowTest, TabLeavesTheFileListAndEveryStopOfTheWindowTakesItsTurn)
{
    addThreeFiles();
    delegate->fileListController().SelectRowStartingAtRow(1, 1);
    QWidget* table = delegate->mainWindow()->imageListTable();
    table->setFocus();
    ASSERT_TRUE(spinUntil([table] { return QApplication::focusWidget() == table; }));

    QList<QWidget*> stops;
    for (int press = 0; press < 80 && (stops.isEmpty() || QApplication::focusWidget() != table); ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        stops << QApplication::focusWidget();
    }
    ASSERT_FALSE(stops.isEmpty());
    EXPECT_NE(stops.front(), table);
    EXPECT_EQ(stops.back(), table) << "Tab comes back round to the list";
    EXPECT_EQ(delegate->fileListController().selectedRows(), std::vector<int>{1});
    // The steppers are stepped from their fields, which show the focus; they are no stops.
    for (const QWidget* stop : stops)
        EXPECT_EQ(qobject_cast<const Stepper*>(stop), nullptr);
    EXPECT_TRUE(stops.contains(delegate->optionsPanel().outlets().widthEditFieldOutlet));
}

TEST_F(WindowTest, TheWindowOpensWithinTheScreenAndItsOptionsAreNeverCutAtTheSide)
{
    MainWindow& window = *delegate->mainWindow();
    const QRect available = window.screen()->availableGeometry();
    ASSERT_LT(available.width(), 1100) << "the test screen is smaller than the window would like";
    EXPECT_LE(window.width(), available.width());
    EXPECT_LE(window.height(), available.height());

    // At the smallest size the window allows, and an 800 by 600 screen leaves room for it.
    EXPECT_LE(window.minimumSizeHint().width(), 800 - 48);
    window.resize(window.minimumSizeHint());
    QApplication::processEvents();
    const auto* scrollArea = window.findChild<QScrollArea*>(QStringLiteral("optionsScrollArea"));
    ASSERT_NE(scrollArea, nullptr);
    const ExportOptionsOutlets& o = delegate->optionsPanel().outlets();
    const std::vector<const QWidget*> controls{o.PageSizePopupOutlet, o.savePresetButtonOutlet, o.inSizeTypePopupOutlet,
                                               o.widthStepperOutlet, o.textEncodingPopupOutlet, o.exportTOC,
                                               o.mTitleEditFieldOutlet, o.mKeywordsEditFieldOutlet};
    for (const QWidget* control : controls) {
        const QRect shown(control->mapTo(scrollArea->viewport(), QPoint(0, 0)), control->size());
        EXPECT_GE(shown.left(), 0) << control->objectName().toStdString();
        EXPECT_LE(shown.right(), scrollArea->viewport()->width()) << control->objectName().toStdString();
    }
}

TEST_F(WindowTest, WhatAnAdditionLeavesOutIsToldOnceWithItsReason)
{
    makeFile(files.path(), QStringLiteral("good.chm"));
    makeFile(files.path(), QStringLiteral("notes.txt"), "text");
    makeFolder(files.path(), QStringLiteral("Empty"));
    const QDir folder(files.path());
    {
        AlertAnswerer answerer({AlertAnswerer::click(Localized("OkButtonString"))});
        addFiles({folder.filePath("good.chm"), folder.filePath("notes.txt"), folder.filePath("gone.chm"),
                  folder.filePath("Empty")});
        ASSERT_TRUE(spinUntil([&answerer] { return !answerer.seen().empty(); }));
        EXPECT_EQ(delegate->fileList().numberOfRows(), 1); // the missing file is not listed
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.last().title, Localized("SomeNotAddedTitle"));
        const QString native = QDir::toNativeSeparators(files.path()) + QDir::separator();
        EXPECT_EQ(answerer.last().message, QStringList({"• " + Localized("NotFoundEntry").arg(native + "gone.chm"),
                                                        "• " + Localized("NotCHMEntry").arg(native + "notes.txt"),
                                                        "• " + Localized("NoCHMInFolderEntry").arg(native + "Empty")})
                                               .join('\n'));
    }
    AlertAnswerer answerer({AlertAnswerer::click(Localized("OkButtonString"))});
    addFiles({folder.filePath("notes.txt")});
    ASSERT_TRUE(spinUntil([&answerer] { return !answerer.seen().empty(); }));
    EXPECT_EQ(answerer.last().title, Localized("NothingAddedTitle"));
    EXPECT_EQ(delegate->fileList().numberOfRows(), 1);
}

TEST_F(WindowTest, EveryOptionLabelSitsLevelWithItsField)
{
    const ExportOptionsPanel& panel = delegate->optionsPanel();
    auto* form = qobject_cast<QFormLayout*>(panel.layout());
    ASSERT_NE(form, nullptr);
    int rows = 0;
    for (int row = 0; row < form->rowCount(); ++row) {
        QLayoutItem* labelItem = form->itemAt(row, QFormLayout::LabelRole);
        QLayoutItem* fieldItem = form->itemAt(row, QFormLayout::FieldRole);
        const auto* label = labelItem ? qobject_cast<const QLabel*>(labelItem->widget()) : nullptr;
        if (!label || !fieldItem)
            continue;
        // The field itself, or the first control of a row of them.
        const QWidget* field = fieldItem->widget();
        if (!field && fieldItem->layout() && fieldItem->layout()->count() > 0)
            field = fieldItem->layout()->itemAt(0)->widget();
        ASSERT_NE(field, nullptr) << label->text().toStdString();
        const int labelMiddle = label->mapTo(&panel, label->rect().center()).y();
        const int fieldMiddle = field->mapTo(&panel, field->rect().center()).y();
        EXPECT_NEAR(labelMiddle, fieldMiddle, 2) << label->text().toStdString();
        ++rows;
    }
    EXPECT_GE(rows, 14);
}

TEST_F(WindowTest, FirstLaunchAndAStoredIndexPastTheMenuBothSelectA4)
{
    QComboBox& pageSizes = *delegate->optionsPanel().outlets().PageSizePopupOutlet;
    EXPECT_EQ(pageSizes.currentIndex(), 3);
    EXPECT_EQ(delegate->optionsPanel().outlets().widthEditFieldOutlet->text(), QStringLiteral("210"));

    const int menuCount = pageSizes.count();
    ASSERT_TRUE(WritePreferencePlist({{QStringLiteral("PresetIndex"), qlonglong(menuCount)}}, kGeneralPrefFileFormat));
    openWindow();
    EXPECT_EQ(delegate->optionsPanel().outlets().PageSizePopupOutlet->currentIndex(), 3);
    EXPECT_EQ(delegate->optionsPanel().outlets().heightEditFieldOutlet->text(), QStringLiteral("297"));
}

TEST_F(WindowTest, ClosingTheWindowSavesThePageSizeAndAsksTheApplicationToEnd)
{
    UserActions::choose(*delegate->optionsPanel().outlets().PageSizePopupOutlet, 15);
    QSignalSpy terminate(delegate.get(), &AppDelegate::terminateRequested);
    EXPECT_TRUE(delegate->mainWindow()->close());
    EXPECT_EQ(terminate.count(), 1);
    QVariantMap general;
    ASSERT_TRUE(ReadPreferencePlist(&general, kGeneralPrefFileFormat));
    EXPECT_EQ(general.value(QStringLiteral("PresetIndex")).toLongLong(), 15);
}

TEST_F(WindowTest, CancellingTheFolderChooserLeavesTheWindowAsItWas)
{
    addThreeFiles();
    delegate->fileListController().SelectRowStartingAtRow(1, 1);
    const QStringList enabledBefore = enabledCommands();
    chosenFolder.reset();
    actions().exportSelected->trigger();
    EXPECT_EQ(chooserRuns, 1);
    EXPECT_EQ(chooserAccessory, delegate->exportAccessoryView());
    EXPECT_FALSE(delegate->isBatchRunning());
    EXPECT_TRUE(delegate->sourceURLs().empty());
    EXPECT_EQ(delegate->fileListController().selectedRows(), std::vector<int>{1});
    EXPECT_EQ(delegate->fileList().numberOfRows(), 3);
    EXPECT_EQ(enabledCommands(), enabledBefore);
}

TEST_F(WindowTest, NothingToExportOrABadValueAsksForNoFolder)
{
    addThreeFiles();
    delegate->fileListController().selectionModel().clearSelection();
    actions().exportSelected->trigger();
    EXPECT_EQ(chooserRuns, 0);

    UserActions::retype(*delegate->optionsPanel().outlets().widthEditFieldOutlet, QStringLiteral("0"));
    AlertAnswerer answerer({AlertAnswerer::click(QStringLiteral("OK"))});
    actions().exportAll->trigger();
    EXPECT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(chooserRuns, 0);
}

TEST_F(WindowTest, TheManualMissingIsSaidAndNothingIsOpened)
{
    const QTemporaryDir noManual;
    delegate->setUserManualFolder(noManual.path());
    AlertAnswerer answerer({AlertAnswerer::click(Localized("OkButtonString"))});
    actions().help->trigger();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.last().title, Localized("ManualMissingTitle"));
    EXPECT_TRUE(answerer.last().message.contains(AppDelegate::kUserManualFileName));
    EXPECT_TRUE(desktop.opened().isEmpty());
}

TEST_F(WindowTest, SupportAndRatingAreOfferedOnlyWhenTheyHaveSomewhereToGo)
{
    QCoreApplication::setOrganizationName(QStringLiteral("org.tomefold.WindowTest"));
    QSettings().setValue(AppDelegate::kSupportAddressSetting, QStringLiteral("https://support.example/tomefold"));
    openWindow();
    ASSERT_TRUE(actions().support->isEnabled());
    actions().support->trigger();
    QSettings().remove(AppDelegate::kSupportAddressSetting);
    EXPECT_EQ(desktop.opened(), QList<QUrl>{QUrl(QStringLiteral("https://support.example/tomefold"))});

    EXPECT_FALSE(actions().rating->isEnabled());
    delegate->rateApplicationObject().setRatingsURL(QUrl(QStringLiteral("https://store.example/app/id42")));
    delegate->rateApplicationObject().setAppStoreID(42);
    ASSERT_TRUE(actions().rating->isEnabled());
    actions().rating->trigger();
    ASSERT_TRUE(spinUntil([this] { return desktop.opened().size() == 2; }));
    EXPECT_EQ(desktop.opened().last(), QUrl(QStringLiteral("https://store.example/app/id42")));
}

// A stand-in for the CHM export that writes "<name>.pdf" and can be held at a file until released.
class HeldFileStep {
public:
    FileConversionResult convert(const QUrl& source, const QUrl& destination)
    {
        std::unique_lock lock(m_lock);
        m_started << source.fileName();
        m_changed.notify_all();
        m_changed.wait(lock, [this, &source] { return m_held != source.fileName(); });
        QFile pdf(QDir(destination.toLocalFile()).filePath(source.fileName().replace(".chm", ".pdf")));
        return pdf.open(QIODevice::WriteOnly) ? FileConversionResult::PDFWritten : FileConversionResult::NotOpened;
    }
    void hold(const QString& name)
    {
        const std::lock_guard guard(m_lock);
        m_held = name;
    }
    void release()
    {
        const std::lock_guard guard(m_lock);
        m_held.clear();
        m_changed.notify_all();
    }
    QStringList started()
    {
        const std::lock_guard guard(m_lock);
        return m_started;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    QString m_held;
    QStringList m_started;
};

class WindowBatchHoldTest : public WindowTest {
protected:
    // A batch held at a file that the window waits for (closing it, cancelling) fails the program
    // within a minute instead of hanging; a test that stops early lets its held file go, so that
    // the window's end does not wait for it for ever.
    void SetUp() override
    {
        m_hangGuard = std::make_unique<HangGuard>(std::chrono::seconds(60), "a batch held by the test");
        WindowTest::SetUp();
        useHeldStep();
    }
    void TearDown() override
    {
        step.release();
        WindowTest::TearDown();
        m_hangGuard.reset();
    }
    void useHeldStep()
    {
        delegate->setFileStep([this](const QUrl& s, const QUrl& d, const TomefoldConversionOptions&) {
            return step.convert(s, d);
        });
    }
    HeldFileStep step;
    std::unique_ptr<HangGuard> m_hangGuard;
};

TEST_F(WindowBatchHoldTest, ABatchHoldsTheWindowAndForgetsItselfBeforeLettingGo)
{
    addThreeFiles();
    chooseDestination(out.path());
    step.hold(QStringLiteral("a.chm"));
    // What the window knows of the batch at the moment its export commands come back.
    bool stateClearedWhenEnabled = false;
    QObject::connect(actions().exportAll, &QAction::changed, delegate.get(), [this, &stateClearedWhenEnabled] {
        if (actions().exportAll->isEnabled() && !delegate->isConversionCancelled())
            stateClearedWhenEnabled = delegate->sourceURLs().empty() && delegate->destinationURL().isEmpty();
    });
    QSignalSpy finished(delegate.get(), &AppDelegate::batchFinished);
    AlertAnswerer answerer({AlertAnswerer::click(Localized("OpenDestinationTitle"))});
    actions().exportAll->trigger();
    ASSERT_TRUE(spinUntil([this] { return step.started().size() == 1; }));

    EXPECT_EQ(enabledCommands(), (QStringList{"About", "Help", "Hide", "Quit"}));
    EXPECT_FALSE(delegate->optionsPanel().outlets().widthEditFieldOutlet->isEnabled());
    EXPECT_FALSE(delegate->optionsPanel().outlets().PageSizePopupOutlet->isEnabled());
    EXPECT_TRUE(delegate->progressSheet().isVisible());
    EXPECT_EQ(delegate->progressSheet().conversionFileNumberStaticText()->text(),
              Localized("ExportingMany").arg(1).arg(3));
    // A file opened with the application meanwhile joins the list, not the batch, and turns nothing on.
    makeFile(files.path(), QStringLiteral("late.chm"));
    addFiles({QDir(files.path()).filePath(QStringLiteral("late.chm"))});
    EXPECT_EQ(delegate->fileList().numberOfRows(), 4);
    EXPECT_EQ(enabledCommands(), (QStringList{"About", "Help", "Hide", "Quit"}));

    step.release();
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(step.started(), (QStringList{"a.chm", "b.chm", "c.chm"}));
    EXPECT_TRUE(stateClearedWhenEnabled);
    EXPECT_FALSE(delegate->progressSheet().isVisible());
    EXPECT_TRUE(delegate->optionsPanel().outlets().widthEditFieldOutlet->isEnabled());
    EXPECT_TRUE(enabledCommands().contains("Add") && enabledCommands().contains("RemoveAll"));
    EXPECT_EQ(notifications, QStringList{Localized("ExportCompleted")});
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.last().title, Localized("SuccessfullConvertMsg"));
    EXPECT_EQ(desktop.opened(), QList<QUrl>{QUrl::fromLocalFile(out.path())});
}

TEST_F(WindowBatchHoldTest, QuittingDuringABatchAsksAndThenCancelsItAndWaitsForTheFile)
{
    addThreeFiles();
    chooseDestination(out.path());
    step.hold(QStringLiteral("a.chm"));
    QSignalSpy terminate(delegate.get(), &AppDelegate::terminateRequested);
    actions().exportAll->trigger();
    ASSERT_TRUE(spinUntil([this] { return step.started().size() == 1; }));
    // Nothing blocks the window: its close button and Quit reach it.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    {
        AlertAnswerer answerer({AlertAnswerer::click(Localized("CancelButtonString"))});
        actions().quit->trigger();
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.last().title, Localized("QuitDuringExportTitle"));
        EXPECT_TRUE(delegate->mainWindow()->isVisible());
        EXPECT_FALSE(delegate->isConversionCancelled());
    }
    AlertAnswerer answerer({AlertAnswerer::click(Localized("StopAndQuitButtonTitle"))});
    EXPECT_FALSE(delegate->mainWindow()->close());
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_TRUE(delegate->mainWindow()->isVisible());
    EXPECT_TRUE(delegate->isConversionCancelled());
    EXPECT_EQ(terminate.count(), 0);

    step.release();
    ASSERT_TRUE(terminate.wait(60000));
    EXPECT_FALSE(delegate->mainWindow()->isVisible());
    EXPECT_EQ(step.started(), QStringList{"a.chm"});
    EXPECT_EQ(tree(out.path()), QStringList{"a.pdf"}); // the file under way was finished, not cut off
    EXPECT_TRUE(notifications.isEmpty());
    EXPECT_EQ(answerer.seen().size(), 1u);
}

TEST_F(WindowBatchHoldTest, TheSheetsCancelButtonEndsTheBatchAfterTheCurrentFile)
{
    addThreeFiles();
    chooseDestination(out.path());
    step.hold(QStringLiteral("b.chm"));
    QSignalSpy finished(delegate.get(), &AppDelegate::batchFinished);
    AlertAnswerer answerer;
    actions().exportAll->trigger();
    ASSERT_TRUE(spinUntil([this] { return step.started().size() == 2; }));
    QTest::mouseClick(delegate->progressSheet().cancelButton(), Qt::LeftButton);
    step.release();
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(step.started(), (QStringList{"a.chm", "b.chm"}));
    EXPECT_TRUE(answerer.seen().empty());
    EXPECT_TRUE(notifications.isEmpty());
    EXPECT_FALSE(delegate->isConversionCancelled());
    EXPECT_TRUE(actions().exportAll->isEnabled());
}

} // namespace

TEST(ExportFolderChooser, AFolderTypedInTheNameFieldIsTheOneChosen)
{
    QTemporaryDir parent;
    ASSERT_TRUE(QDir(parent.path()).mkpath(QStringLiteral("out")));
    const QUrl out = QUrl::fromLocalFile(QDir(parent.path()).filePath(QStringLiteral("out")));
    QFileDialog dialog;
    ConfigureExportFolderDialog(dialog);
    dialog.setDirectory(parent.path());
    auto* nameField = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(nameField, nullptr);

    nameField->setText(out.toLocalFile() + QLatin1Char('/'));
    EXPECT_EQ(ChosenExportFolder(dialog), out);
    nameField->setText(QStringLiteral("out"));
    EXPECT_EQ(ChosenExportFolder(dialog), out);
    // Without a folder typed, the answer is the dialog's: here the folder shown.
    QFileDialog untouched;
    ConfigureExportFolderDialog(untouched);
    untouched.setDirectory(parent.path());
    EXPECT_EQ(ChosenExportFolder(untouched), QUrl::fromLocalFile(parent.path()));
}
