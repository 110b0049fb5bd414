#include "app/filelist/AddFilesPanel.h"

#include "app/filelist/AddFilesAccessory.h"
#include "app/filelist/FileListAdder.h"
#include "common/LocalizedStrings.h"
#include "app/filelist/IsCHMFile.h"

#include <QFileDialog>
#include <QGridLayout>

namespace {

QString CHMNameFilter()
{
    QStringList patterns;
    for (const QString& type : kAcceptedCHMTypes)
        patterns.append(QStringLiteral("*.") + type);
    return QFileDialog::tr("CHM files (%1)").arg(patterns.join(QLatin1Char(' ')));
}

void AttachAccessory(QFileDialog& dialog, QWidget* accessory)
{
    // The non-native dialog lays itself out on a grid; the accessory goes in a row of its own below.
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(accessory, grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

void AddFilesPanel::configureDialog(QFileDialog& dialog, Selection selection)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setWindowTitle(Localized("OpenDialogTitle"));
    dialog.setLabelText(QFileDialog::Accept, Localized("OpenDialogButton"));
    if (selection == Selection::Files) {
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setNameFilter(CHMNameFilter());
    } else {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    }
}

std::optional<AddFilesChoice> AddFilesPanel::run(QWidget* window, Selection selection)
{
    QFileDialog dialog(window);
    configureDialog(dialog, selection);
    auto* accessory = new AddFilesAccessory(&dialog);
    accessory->setChoices(maintainDirTree_, addRecursiveBoxOn_);
    AttachAccessory(dialog, accessory);
    dialog.setWindowModality(Qt::WindowModal);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    maintainDirTree_ = accessory->maintainDirTree();
    addRecursiveBoxOn_ = accessory->addRecursiveBoxOn();
    if (!accepted)
        return std::nullopt;
    return AddFilesChoice{dialog.selectedUrls(), accessory->maintainDirTree(), accessory->addRecursive()};
}

void AddFilesPanel::AddFilesOrFolder(QWidget* window, Selection selection, FileListAdder& adder)
{
    if (const std::optional<AddFilesChoice> choice = run(window, selection))
        adder.startAddition(choice->urls, choice->maintainDirTree, choice->addRecursive);
}
