#include "app/window/ExportFolderChooser.h"

#include "common/LocalizedStrings.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QGridLayout>
#include <QPointer>

namespace {

// Lends the owner's accessory view to the dialog for its run and takes it back before the dialog
// goes, so the view is never deleted with it.
class LentAccessory {
public:
    LentAccessory(QFileDialog& dialog, QWidget* view)
        : m_view(view)
        , m_previousParent(view ? view->parentWidget() : nullptr)
    {
        auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
        if (!m_view || !grid)
            return;
        grid->addWidget(m_view, grid->rowCount(), 0, 1, grid->columnCount());
        m_view->show();
    }
    ~LentAccessory()
    {
        if (!m_view)
            return;
        m_view->hide();
        m_view->setParent(m_previousParent);
    }
    LentAccessory(const LentAccessory&) = delete;
    LentAccessory& operator=(const LentAccessory&) = delete;

private:
    QPointer<QWidget> m_view;
    QWidget* m_previousParent;
};

} // namespace

void ConfigureExportFolderDialog(QFileDialog& dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setWindowTitle(Localized("Export"));
    dialog.setLabelText(QFileDialog::Accept, Localized("Export"));
}

std::optional<QUrl> RunExportFolderChooser(QWidget* window, QWidget* accessoryView)
{
    QFileDialog dialog(window);
    ConfigureExportFolderDialog(dialog);
    dialog.setWindowModality(Qt::WindowModal);
    const LentAccessory lent(dialog, accessoryView);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return ChosenExportFolder(dialog);
}

std::optional<QUrl> ChosenExportFolder(const QFileDialog& dialog)
{
    // A folder typed in the name field, confirmed while its completion list is open, leaves the
    // dialog's own answer at the folder it shows, the parent of the one typed: the PDFs would
    // land beside the folder the user named.
    if (const auto* nameField = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        const QString typed = nameField->text().trimmed();
        const QFileInfo folder(dialog.directory().absoluteFilePath(typed));
        if (!typed.isEmpty() && folder.isDir())
            return QUrl::fromLocalFile(QDir::cleanPath(folder.absoluteFilePath()));
    }
    const QList<QUrl> chosen = dialog.selectedUrls();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.front();
}
