#pragma once

#include "common/ConversionProgressDelegate.h"
#include "app/batch/BatchExportHost.h"
#include "app/batch/BatchExportWorker.h"
#include "app/filelist/AddFilesPanel.h"
#include "app/filelist/FileListItem.h"
#include "app/window/ExportFolderChooser.h"
#include "app/window/WindowActions.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class BatchExportRun;
class ExportOptionsPanel;
class ExportProgressSheet;
class FileListAdder;
class FileListController;
class FileListModel;
class MacAppStoreRating;
class MainWindow;

// The application's delegate: it sets up the main window with its file list, export options,
// toolbar and menus, runs the batch export of the listed files with its progress sheet and final
// alert, answers the export's progress questions, and ends the application when the window closes.
// Lives on the main thread.
class AppDelegate : public QObject, public ConversionProgressDelegate, public BatchExportHost {
    Q_OBJECT
public:
    using NotificationPoster = std::function<void(const QString& title, const QString& text)>;

    // The QSettings key of the support page's address; without one the support command is off.
    static inline const QString kSupportAddressSetting = QStringLiteral("SupportAddress");
    static inline const QString kUserManualFileName = QStringLiteral("Tomefold User Manual.pdf");

    AppDelegate();
    ~AppDelegate() override;
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    MainWindow* mainWindow() const { return m_window.get(); }
    const WindowActions& actions() const { return m_actions; }
    FileListModel& fileList() const { return *m_fileList; }
    FileListController& fileListController() const { return *m_fileListController; }
    FileListAdder& fileListAdder() const { return *m_fileListAdder; }
    ExportOptionsPanel& optionsPanel() const { return *m_optionsPanel; }
    ExportProgressSheet& progressSheet() const { return *m_exportProgressSheet; }
    QWidget* exportAccessoryView() const { return m_mExportAccessoryView.get(); }
    MacAppStoreRating& rateApplicationObject() const { return *m_rateApplicationObject; }

    // Test seams: where the destination folder and the desktop notification come from.
    void setExportFolderChooser(ExportFolderChooser chooser) { m_folderChooser = std::move(chooser); }
    void setNotificationPoster(NotificationPoster poster) { m_postNotification = std::move(poster); }
    void setFileStep(BatchExportWorker::FileStep step) { m_fileStep = std::move(step); }
    // Where Help looks for the manual instead of the resources folder.
    void setUserManualFolder(const QString& folder) { m_userManualFolder = folder; }

    // Files given to the application (its command line, or opened with it): added to the list.
    void openFiles(const QStringList& paths);

    // The window's commands.
    void AddFilesOrFolder(AddFilesPanel::Selection selection);
    void Export(QObject* sender);    // the selected rows
    void ExportAll(QObject* sender); // every row
    void UserManualHelpAction();
    void ContactSupportAction();
    void RateApplicationAction();
    void cancelConversion();

    // Asks for the destination of the items taken and, when one is chosen, starts the batch.
    void Export();
    std::vector<FileListItem> GetSelectedItems() const;
    std::vector<FileListItem> GetAllItems() const;
    bool isBatchRunning() const { return !m_runningBatches.empty(); }
    const std::vector<FileListItem>& sourceURLs() const { return m_sourceURLs; }
    const QUrl& destinationURL() const { return m_destinationURL; }

    // With forBatch set the progress texts and bars are cleared and the export items are on only
    // for the end of a batch; without it they follow the list (on when it has rows).
    void SetEnabledDisabledExportItems(bool forBatch, int status);

    // Closing the main window: saves the chosen page size and asks the application to end. During
    // a batch it asks whether to stop the export; if so it cancels the batch and closes once the
    // batch has ended. False while the window has to stay open.
    bool windowWillClose();

    // ConversionProgressDelegate
    bool isConversionCancelled() const override { return m_isConversionCancelled.load(); }
    void setIsConversionCancelled(bool cancelled) override { m_isConversionCancelled = cancelled; }
    QLabel* exportFilenameLabel() const override;
    QLabel* exportNoticeLabel() const override;
    QProgressBar* exportProgressIndicator() const override;
    QWidget* exportProgressSheet() const override;
    QWidget* window() const override;

    // BatchExportHost
    void SetEnableDisableControlWhileConversion(int status) override;
    void GetConversionSettings(TomefoldConversionOptions* options) override;
    void BeginProgressSheet() override;
    void ChangeProgressStatus(int status, const BatchProgress& progress) override;
    void raiseFileBarMaximum(qint64 addedItems) override;
    void EndProgressSheet() override;
    void forgetBatch() override;
    void AlertOnSuccessConversion(const QUrl& destinationURL, const BatchOutcome& outcome) override;

signals:
    // The file counter of the running batch changed (the worker waits meanwhile).
    void fileCounterChanged(qint64 fileProcessingIndex, qint64 numOfFilesForConversion);
    // A batch's worker has ended, its final alert answered.
    void batchFinished();
    // The main window has closed: the application should end.
    void terminateRequested();

private:
    // Window set-up (AppDelegateSetup.cpp).
    void awakeFromNib();
    void connectActions();
    void updateRatingAction();
    void updateSupportAction();
    void showAbout();

    // Batch (AppDelegateBatch.cpp).
    void startBatch(const QUrl& destination);
    void batchRunDidFinish(BatchExportRun* run);
    void setOptionControlsEnabled(bool enabled);
    void setAddItemsEnabled(bool enabled);
    void OpenDestinationFolder(const QUrl& destinationURL);

    WindowActions m_actions;
    std::unique_ptr<FileListModel> m_fileList;
    std::unique_ptr<FileListController> m_fileListController;
    std::unique_ptr<FileListAdder> m_fileListAdder;
    AddFilesPanel m_addFilesPanel;
    ExportOptionsPanel* m_optionsPanel = nullptr; // the window's child
    std::unique_ptr<MainWindow> m_window;
    ExportProgressSheet* m_exportProgressSheet = nullptr; // the window's child
    std::unique_ptr<QWidget> m_mExportAccessoryView;
    std::unique_ptr<MacAppStoreRating> m_rateApplicationObject;

    // The batch: the items taken and the destination chosen, until the batch has ended.
    std::vector<FileListItem> m_sourceURLs;
    QUrl m_destinationURL;
    std::atomic<bool> m_isConversionCancelled{false};
    std::vector<std::unique_ptr<BatchExportRun>> m_runningBatches;
    bool m_closeWhenBatchEnds = false;

    ExportFolderChooser m_folderChooser;
    NotificationPoster m_postNotification;
    BatchExportWorker::FileStep m_fileStep;
    QString m_userManualFolder;
};
