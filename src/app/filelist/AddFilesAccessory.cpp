#include "app/filelist/AddFilesAccessory.h"

#include <QCheckBox>
#include <QVBoxLayout>

AddFilesAccessory::AddFilesAccessory(QWidget* parent)
    : QWidget(parent)
    , mMaintainDirCheckBoxButton(new QCheckBox(tr("Keep the folder structure"), this))
    , mAddRecursiveCheckBoxButton(new QCheckBox(tr("Add CHM files from sub-folders too"), this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mMaintainDirCheckBoxButton);
    layout->addWidget(mAddRecursiveCheckBoxButton);
    connect(mMaintainDirCheckBoxButton, &QCheckBox::toggled, this, &AddFilesAccessory::MaintainDirStructureCheckAction);
    MaintainDirStructureCheckAction();
}

void AddFilesAccessory::setChoices(bool maintainDirTree, bool addRecursiveBoxOn)
{
    mMaintainDirCheckBoxButton->setChecked(maintainDirTree);
    mAddRecursiveCheckBoxButton->setChecked(addRecursiveBoxOn);
    MaintainDirStructureCheckAction();
}

bool AddFilesAccessory::maintainDirTree() const
{
    return mMaintainDirCheckBoxButton->isChecked();
}

bool AddFilesAccessory::addRecursive() const
{
    return !maintainDirTree() && addRecursiveBoxOn();
}

bool AddFilesAccessory::addRecursiveBoxOn() const
{
    return mAddRecursiveCheckBoxButton->isChecked();
}

void AddFilesAccessory::MaintainDirStructureCheckAction()
{
    // A disabled check box also shows its text in the disabled colour.
    mAddRecursiveCheckBoxButton->setEnabled(!maintainDirTree());
}
