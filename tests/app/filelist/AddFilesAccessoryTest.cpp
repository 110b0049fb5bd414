#include "app/filelist/AddFilesAccessory.h"

#include <QCheckBox>

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

} // namespace
