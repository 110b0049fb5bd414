// The batch export as the window runs it: starting it, the window's state while it runs, its
// progress sheet and its end.
#include "app/AppDelegate.h"

#include "app/batch/BatchExportRun.h"
#include "app/batch/BatchOutcome.h"
#include "app/conversion/ConversionSettings.h"
#include "app/filelist/FileListController.h"
#include "app/filelist/FileListModel.h"
#include "app/options/ExportOptionsPanel.h"
#include "app/options/Stepper.h"
#include "app/window/ExportProgressSheet.h"
#include "app/window/MainWindow.h"
#include "common/FolderWritability.h"
#include "common/LocalizedStrings.h"
#include "common/RunAlertSheet.h"
#include "platform/DesktopServices.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

void AppDelegate::Export(QObject* /*sender*/)
{
    if (!m_optionsPanel->ISExportOptionValid())
        return;
    m_sourceURLs = GetSelectedItems();
    Export();
}

void AppDelegate::ExportAll(QObject* /*sender*/)
{
    if (!m_optionsPanel->ISExportOptionValid())
        return;
    m_sourceURLs = GetAllItems();
    Export();
}

void AppDelegate::Export()
{
    m_isConversionCancelled = false;
    if (m_sourceURLs.empty())
        return;
    const std::optional<QUrl> chosen = m_folderChooser(m_window.get(), m_mExportAccessoryView.get());
    if (!chosen) {
        m_sourceURLs.clear();
        return;
    }
    // Told now rather than after every file has been converted for nothing.
    const QString refusal = WBQUtil::WhyFolderTakesNoFiles(chosen->toLocalFile());
    if (!refusal.isEmpty()) {
        m_sourceURLs.clear();
        RunAlertSheet(Localized("DestinationRefusedTitle").arg(QDir::toNativeSeparators(chosen->toLocalFile())),
                      Localized("DestinationRefusedMsg").arg(refusal), Localized("OkButtonString"), QString(),
                      QString(), m_window.get());
        return;
    }
    SetEnabledDisabledExportItems(true, 0);
    m_destinationURL = *chosen;
    startBatch(m_destinationURL);
}

std::vector<FileListItem> AppDelegate::GetSelectedItems() const
{
    const std::vector<FileListItem>& items = m_fileList->items();
    std::vector<FileListItem> selected;
    for (const int row : m_fileListController->selectedRows()) {
        if (row >= 0 && row < int(items.size()))
            selected.push_back(items[std::size_t(row)]);
    }
    return selected;
}

std::vector<FileListItem> AppDelegate::GetAllItems() const
{
    return m_fileList->items();
}

void AppDelegate::startBatch(const QUrl& destination)
{
    // The batch works on its own copy: rows added or moved meanwhile are not part of it.
    auto worker = std::make_unique<BatchExportWorker>(*this, m_sourceURLs, destination, m_isConversionCancelled,
                                                      m_fileStep);
    auto run = std::make_unique<BatchExportRun>(std::move(worker));
    BatchExportRun* started = run.get();
    connect(started, &BatchExportRun::finished, this, [this, started] { batchRunDidFinish(started); });
    m_runningBatches.push_back(std::move(run));
    started->start();
}

void AppDelegate::batchRunDidFinish(BatchExportRun* run)
{
    const auto found = std::find_if(m_runningBatches.begin(), m_runningBatches.end(),
                                    [run](const std::unique_ptr<BatchExportRun>& r) { return r.get() == run; });
    if (found != m_runningBatches.end()) {
        // Not from inside the run's own signal.
        found->release()->deleteLater();
        m_runningBatches.erase(found);
    }
    emit batchFinished();
    if (m_closeWhenBatchEnds && !isBatchRunning()) {
        m_closeWhenBatchEnds = false;
        m_window->close();
    }
}

void AppDelegate::cancelConversion()
{
    m_isConversionCancelled = true;
}

void AppDelegate::SetEnableDisableControlWhileConversion(int status)
{
    SetEnabledDisabledExportItems(true, status);
    const bool ended = status == kBatchEnded;
    m_fileListController->SetEnabledDisabledRemoveOrRemoveAllItems(!ended);
    m_fileListController->SetEnabledDisabledMoveUpDownItems(!ended);
    setAddItemsEnabled(ended);
    setOptionControlsEnabled(ended);
}

void AppDelegate::SetEnabledDisabledExportItems(bool forBatch, int status)
{
    bool enabled = false;
    if (forBatch) {
        m_exportProgressSheet->clear();
        enabled = status == kBatchEnded;
    } else {
        enabled = m_fileList->numberOfRows() > 0;
    }
    m_actions.exportSelected->setEnabled(enabled);
    m_actions.exportAll->setEnabled(enabled);
}

void AppDelegate::setAddItemsEnabled(bool enabled)
{
    m_actions.add->setEnabled(enabled);
    m_actions.addFolder->setEnabled(enabled);
}

void AppDelegate::setOptionControlsEnabled(bool enabled)
{
    const ExportOptionsOutlets& o = m_optionsPanel->outlets();
    const QList<QWidget*> controls{
        o.PageSizePopupOutlet, o.inSizeTypePopupOutlet, o.widthEditFieldOutlet, o.heightEditFieldOutlet,
        o.leftEditFieldOutlet, o.topEditFieldOutlet, o.rightEditFieldOutlet, o.bottomEditFieldOutlet,
        o.widthStepperOutlet, o.heightStepperOutlet, o.leftStepperOutlet, o.topStepperOutlet,
        o.rightStepperOutlet, o.bottomStepperOutlet, o.savePresetButtonOutlet, o.exportHyperlinks,
        o.exportTOC, o.textEncodingPopupOutlet};
    for (QWidget* control : controls) {
        if (control)
            control->setEnabled(enabled);
    }
    if (o.orientationRadioButtonOutlet) {
        for (QAbstractButton* button : o.orientationRadioButtonOutlet->buttons())
            button->setEnabled(enabled);
    }
}

void AppDelegate::GetConversionSettings(TomefoldConversionOptions* options)
{
    ::GetConversionSettings(*m_optionsPanel, this, options);
}

void AppDelegate::BeginProgressSheet()
{
    m_exportProgressSheet->begin();
}

void AppDelegate::ChangeProgressStatus(int status, const BatchProgress& progress)
{
    if (status < 0 || status > kBatchEnded)
        return;
    if (status == kBatchStarted || status == kBatchItemStarted) {
        const char* format = progress.numOfFilesForConversion < 2 ? "ExportingOne" : "ExportingMany";
        m_exportProgressSheet->conversionFileNumberStaticText()->setText(
            Localized(format).arg(progress.fileProcessingIndex).arg(progress.numOfFilesForConversion));
        emit fileCounterChanged(progress.fileProcessingIndex, progress.numOfFilesForConversion);
    }
    m_exportProgressSheet->stepFileBar();
}

void AppDelegate::raiseFileBarMaximum(qint64 addedItems)
{
    m_exportProgressSheet->raiseFileBarMaximum(addedItems);
}

void AppDelegate::EndProgressSheet()
{
    m_exportProgressSheet->end();
}

void AppDelegate::forgetBatch()
{
    m_sourceURLs.clear();
    m_destinationURL = QUrl();
    m_isConversionCancelled = false;
}

void AppDelegate::AlertOnSuccessConversion(const QUrl& destinationURL, const BatchOutcome& outcome)
{
    const BatchOutcomeTexts texts = FinalAlertTexts(outcome);
    if (!outcome.convertedNothing())
        m_postNotification(Localized("ExportCompleted"), texts.title);
    // Nothing to open when nothing was written, or when the folder has gone since.
    const bool canOpen = !outcome.convertedNothing() && QFileInfo(destinationURL.toLocalFile()).isDir();
    const int answer = RunAlertSheet(texts.title, texts.message, Localized("OkButtonString"),
                                     canOpen ? Localized("OpenDestinationTitle") : QString(), QString(), m_window.get());
    if (canOpen && answer == 0)
        OpenDestinationFolder(destinationURL);
}

void AppDelegate::OpenDestinationFolder(const QUrl& destinationURL)
{
    // Without a program that shows folders the user would be left with nothing: say where it is.
    const QPointer<AppDelegate> self(this);
    DesktopServices::instance().openUrlAndReport(destinationURL, [self, destinationURL](bool opened) {
        if (opened || !self)
            return;
        RunAlertSheet(Localized("OpenFolderFailedTitle"),
                      Localized("OpenFolderFailedMsg").arg(QDir::toNativeSeparators(destinationURL.toLocalFile())),
                      Localized("OkButtonString"), QString(), QString(), self->m_window.get());
    });
}

QLabel* AppDelegate::exportFilenameLabel() const
{
    return m_exportProgressSheet->exportFilenameLabel();
}

QLabel* AppDelegate::exportNoticeLabel() const
{
    return m_exportProgressSheet->exportNoticeLabel();
}

QProgressBar* AppDelegate::exportProgressIndicator() const
{
    return m_exportProgressSheet->exportProgressIndicator();
}

QWidget* AppDelegate::exportProgressSheet() const
{
    return m_exportProgressSheet;
}

QWidget* AppDelegate::window() const
{
    return m_window.get();
}
