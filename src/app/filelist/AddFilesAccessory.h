#pragma once

#include <QWidget>

class QCheckBox;

// The add-files dialog's two choices. Keeping the folder structure adds a chosen folder as one
// item, so "add files from sub-folders" has no meaning then and is switched off.
class AddFilesAccessory : public QWidget {
    Q_OBJECT

public:
    explicit AddFilesAccessory(QWidget* parent = nullptr);

    QCheckBox* maintainDirCheckBox() const { return mMaintainDirCheckBoxButton; }
    QCheckBox* addRecursiveCheckBox() const { return mAddRecursiveCheckBoxButton; }

    void setChoices(bool maintainDirTree, bool addRecursiveBoxOn);

    bool maintainDirTree() const;
    // Only when the folder structure is not kept.
    bool addRecursive() const;
    // The state of the recursive box itself, remembered for the next dialog.
    bool addRecursiveBoxOn() const;

    // Enables the recursive box exactly when the keep-folders box is off.
    void MaintainDirStructureCheckAction();

private:
    QCheckBox* mMaintainDirCheckBoxButton;
    QCheckBox* mAddRecursiveCheckBoxButton;
};
