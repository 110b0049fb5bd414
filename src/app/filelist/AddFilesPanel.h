#pragma once

#include <QList>
#include <QUrl>

#include <optional>

class FileListAdder;
class QFileDialog;
class QWidget;

// What the add-files dialog gave: the chosen files or folder and how to add them.
struct AddFilesChoice {
    QList<QUrl> urls;
    bool maintainDirTree = false;
    bool addRecursive = false;
};

// The add-files dialog, run as a sheet on the main window. Qt's dialog picks either files or a
// folder, never both at once, so the window offers the two as separate commands. The accessory's
// choices are remembered from one dialog to the next.
class AddFilesPanel {
public:
    enum class Selection { Files, Folder };

    // Runs the dialog; nothing when it is cancelled.
    std::optional<AddFilesChoice> run(QWidget* window, Selection selection);

    // The add command: runs the dialog and, on OK, starts an addition with its choices.
    void AddFilesOrFolder(QWidget* window, Selection selection, FileListAdder& adder);

    // Title, button, modes and file filter of the dialog (without its accessory).
    static void configureDialog(QFileDialog& dialog, Selection selection);

private:
    bool maintainDirTree_ = false;
    bool addRecursiveBoxOn_ = true;
};
