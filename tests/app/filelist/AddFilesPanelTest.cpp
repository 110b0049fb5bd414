#include "app/filelist/AddFilesAccessory.h"
#include "app/filelist/AddFilesPanel.h"
#include "app/filelist/FileListTexts.h"

#include <QCheckBox>
#include <QFileDialog>

#include <gtest/gtest.h>

namespace {

TEST(AddFilesAccessory, KeepingFoldersSwitchesTheRecursiveChoiceOff)
{
    AddFilesAccessory accessory;
    accessory.setChoices(false, true);
    EXPECT_TRUE(accessory.addRecursiveCheckBox()->isEnabled());
    EXPECT_TRUE(accessory.addRecursive());

    accessory.maintainDirCheckBox()->setChecked(true);
    EXPECT_FALSE(accessory.addRecursiveCheckBox()->isEnabled());
    EXPECT_TRUE(accessory.maintainDirTree());
    EXPECT_FALSE(accessory.addRecursive());
    EXPECT_TRUE(accessory.addRecursiveBoxOn());

    accessory.maintainDirCheckBox()->setChecked(false);
    EXPECT_TRUE(accessory.addRecursiveCheckBox()->isEnabled());
    EXPECT_TRUE(accessory.addRecursive());
}

TEST(AddFilesPanel, OffersSeveralCHMFilesOrAFolderInQtsOwnDialog)
{
    QFileDialog files;
    AddFilesPanel::configureDialog(files, AddFilesPanel::Selection::Files);
    EXPECT_TRUE(files.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(files.fileMode(), QFileDialog::ExistingFiles);
    EXPECT_EQ(files.windowTitle(), FileListText(QStringLiteral("OpenDialogTitle")));
    EXPECT_EQ(files.labelText(QFileDialog::Accept), FileListText(QStringLiteral("OpenDialogButton")));
    EXPECT_TRUE(files.nameFilters().constFirst().contains(QStringLiteral("*.chm *.CHM *.Chm")));

    QFileDialog folder;
    AddFilesPanel::configureDialog(folder, AddFilesPanel::Selection::Folder);
    EXPECT_EQ(folder.fileMode(), QFileDialog::Directory);
}

} // namespace
