// The window set-up and the small commands of the window.
#include "app/AppDelegate.h"

#include "app/AppInfo.h"
#include "app/filelist/FileListAdder.h"
#include "app/filelist/FileListController.h"
#include "app/filelist/FileListModel.h"
#include "app/options/ExportOptionsPanel.h"
#include "app/rating/MacAppStoreRating.h"
#include "app/window/ExportProgressSheet.h"
#include "app/window/MainWindow.h"
#include "common/LocalizedStrings.h"
#include "common/RunAlertSheet.h"
#include "export/pdfcore/ResourceFolder.h"
#include "platform/DesktopServices.h"

#include "TomefoldPaths.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QSettings>

namespace {

// The manual in the resources folder (installed), else where the build made it.
QString UserManualPath(const QString& fileName)
{
    const std::optional<std::string> folder = PDFCore::getHomeDir();
    const QString installed = folder ? QDir(QString::fromStdString(*folder)).filePath(fileName) : QString();
    if (installed.isEmpty() || QFileInfo(installed).isFile())
        return installed;
    const QString built = QDir(QString::fromUtf8(TomefoldPaths::kBuildManualDir)).filePath(fileName);
    return QFileInfo(built).isFile() ? built : installed;
}

// The support page's address from the settings; an invalid or relative one counts as none.
QUrl SupportPageURL()
{
    const QString address = QSettings().value(AppDelegate::kSupportAddressSetting).toString().trimmed();
    const QUrl url(address, QUrl::StrictMode);
    return url.isValid() && !url.isRelative() ? url : QUrl();
}

} // namespace

void AppDelegate::awakeFromNib()
{
    // The control images came with the commands; the list is empty, so its commands follow that.
    m_fileListController->attachTableView(m_window->imageListTable());
    m_fileListController->InitialiseUIControls();
    if (!m_rateApplicationObject)
        m_rateApplicationObject = std::make_unique<MacAppStoreRating>();

    m_window->setWindowTitle(Localized("FullAppTitle"));
    m_actions.about->setText(Localized("FullAboutMenuTitle"));
    m_actions.hide->setText(Localized("FullHideMenuTitle"));
    m_actions.quit->setText(Localized("FullQuitMenuTitle"));

    // The encoding menu and the page-size presets and selection were restored by the panel.
    m_exportProgressSheet->conversionProgressIndicator()->setRange(0, 0);
    m_isConversionCancelled = false;

    connectActions();
    updateRatingAction();
    updateSupportAction();
    m_window->setCloseHandler([this] { return windowWillClose(); });
}

void AppDelegate::connectActions()
{
    FileListController& list = *m_fileListController;
    connect(m_actions.add, &QAction::triggered, this, [this] { AddFilesOrFolder(AddFilesPanel::Selection::Files); });
    connect(m_actions.addFolder, &QAction::triggered, this,
            [this] { AddFilesOrFolder(AddFilesPanel::Selection::Folder); });
    connect(m_actions.remove, &QAction::triggered, &list, &FileListController::Remove);
    connect(m_actions.removeAll, &QAction::triggered, &list, &FileListController::RemoveAll);
    connect(m_actions.selectAll, &QAction::triggered, &list, &FileListController::SelectAll);
    connect(m_actions.moveTop, &QAction::triggered, &list, &FileListController::MoveTop);
    connect(m_actions.moveUp, &QAction::triggered, &list, &FileListController::MoveUp);
    connect(m_actions.moveDown, &QAction::triggered, &list, &FileListController::MoveDown);
    connect(m_actions.moveBottom, &QAction::triggered, &list, &FileListController::MoveBottom);
    connect(m_actions.exportSelected, &QAction::triggered, this, [this] { Export(m_actions.exportSelected); });
    connect(m_actions.exportAll, &QAction::triggered, this, [this] { ExportAll(m_actions.exportAll); });
    connect(m_actions.rating, &QAction::triggered, this, &AppDelegate::RateApplicationAction);
    connect(m_actions.help, &QAction::triggered, this, &AppDelegate::UserManualHelpAction);
    connect(m_actions.support, &QAction::triggered, this, &AppDelegate::ContactSupportAction);
    connect(m_actions.about, &QAction::triggered, this, &AppDelegate::showAbout);
    connect(m_actions.hide, &QAction::triggered, m_window.get(), &QWidget::showMinimized);
    connect(m_actions.quit, &QAction::triggered, m_window.get(), &QWidget::close);
    connect(m_exportProgressSheet, &ExportProgressSheet::cancelRequested, this, &AppDelegate::cancelConversion);
    // From the event loop: the addition that found them has to end first.
    connect(
        m_fileListAdder.get(), &FileListAdder::entriesLeftOut, this,
        [this](const QString& title, const QString& message) {
            RunAlertSheet(title, message, Localized("OkButtonString"), QString(), QString(), m_window.get());
        },
        Qt::QueuedConnection);
    connect(m_rateApplicationObject.get(), &MacAppStoreRating::appStoreIDChanged, this,
            &AppDelegate::updateRatingAction);
}

void AppDelegate::updateRatingAction()
{
    m_actions.rating->setEnabled(m_rateApplicationObject->canRate());
}

void AppDelegate::updateSupportAction()
{
    m_actions.support->setEnabled(!SupportPageURL().isEmpty());
}

void AppDelegate::UserManualHelpAction()
{
    const QString path = m_userManualFolder.isNull() ? UserManualPath(kUserManualFileName)
                                                     : QDir(m_userManualFolder).filePath(kUserManualFileName);
    if (!path.isEmpty() && QFileInfo(path).isFile()) {
        // Without a PDF viewer nothing would happen: say where the manual is instead.
        const QPointer<AppDelegate> self(this);
        DesktopServices::instance().openUrlAndReport(QUrl::fromLocalFile(path), [self, path](bool opened) {
            if (!opened && self)
                RunAlertSheet(Localized("ManualOpenFailedTitle"), Localized("ManualOpenFailedMsg").arg(path),
                              Localized("OkButtonString"), QString(), QString(), self->m_window.get());
        });
        return;
    }
    // Opening a missing file would fail without a word: say where the manual was looked for.
    RunAlertSheet(Localized("ManualMissingTitle"), Localized("ManualMissingMessage").arg(path),
                  Localized("OkButtonString"), QString(), QString(), m_window.get());
}

void AppDelegate::ContactSupportAction()
{
    const QUrl url = SupportPageURL();
    if (!url.isEmpty())
        DesktopServices::instance().openUrl(url);
}

void AppDelegate::RateApplicationAction()
{
    MacAppStoreRating* rating = m_rateApplicationObject.get();
    QMetaObject::invokeMethod(rating, &MacAppStoreRating::RateApplicationAction, Qt::QueuedConnection);
}

void AppDelegate::showAbout()
{
    QMessageBox::about(m_window.get(), Localized("FullAboutMenuTitle"),
                       Localized("AboutText").arg(QCoreApplication::applicationVersion()));
}
