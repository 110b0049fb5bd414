// The delegate's life: making the window, files given to the application, and closing.
#include "app/AppDelegate.h"

#include "app/batch/BatchExportRun.h"
#include "app/filelist/FileListAdder.h"
#include "app/filelist/FileListController.h"
#include "app/filelist/FileListModel.h"
#include "app/options/ExportOptionsPanel.h"
#include "app/rating/MacAppStoreRating.h"
#include "app/window/ExportAccessoryView.h"
#include "app/window/ExportProgressSheet.h"
#include "app/window/MainWindow.h"
#include "common/CustomAlert.h"
#include "common/LocalizedStrings.h"
#include "common/RunAlertSheet.h"
#include "common/UserNotification.h"

#include <QEventLoop>

AppDelegate::AppDelegate()
    : m_actions(CreateWindowActions(this))
    , m_fileList(std::make_unique<FileListModel>())
    , m_fileListController(std::make_unique<FileListController>(*m_fileList, m_actions.fileListControls()))
    , m_fileListAdder(std::make_unique<FileListAdder>(*m_fileListController))
    , m_optionsPanel(new ExportOptionsPanel)
    , m_window(std::make_unique<MainWindow>(m_actions, m_optionsPanel))
    , m_exportProgressSheet(new ExportProgressSheet(m_window.get()))
    , m_mExportAccessoryView(std::make_unique<ExportAccessoryView>())
    , m_folderChooser(RunExportFolderChooser)
    , m_postNotification(WBQUtil::PostUserNotification)
    , m_fileStep(BatchExportWorker::DefaultFileStep)
{
    awakeFromNib();
}

AppDelegate::~AppDelegate()
{
    // A worker still running needs the main thread to finish its file: let it, cancelled.
    m_isConversionCancelled = true;
    while (isBatchRunning()) {
        QEventLoop waitForWorker;
        connect(this, &AppDelegate::batchFinished, &waitForWorker, &QEventLoop::quit);
        if (isBatchRunning())
            waitForWorker.exec();
    }
}

void AppDelegate::openFiles(const QStringList& paths)
{
    m_fileListAdder->openFiles(paths);
}

void AppDelegate::AddFilesOrFolder(AddFilesPanel::Selection selection)
{
    m_addFilesPanel.AddFilesOrFolder(m_window.get(), selection, *m_fileListAdder);
}

bool AppDelegate::windowWillClose()
{
    if (isBatchRunning()) {
        if (m_closeWhenBatchEnds)
            return false; // already stopping
        const int answer = RunAlertSheet(Localized("QuitDuringExportTitle"), Localized("QuitDuringExportMsg"),
                                         Localized("StopAndQuitButtonTitle"), Localized("CancelButtonString"),
                                         QString(), m_window.get());
        if (answer != CustomAlert::kDefaultAnswer)
            return false;
        // Ending now would cut a file off mid-way: cancel, and close once the worker is done (at
        // once when it ended while the question was up).
        if (isBatchRunning()) {
            m_closeWhenBatchEnds = true;
            cancelConversion();
            return false;
        }
    }
    m_optionsPanel->WriteGeneralPrefOptions();
    emit terminateRequested();
    return true;
}
