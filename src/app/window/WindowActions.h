#pragma once

#include "app/filelist/FileListControls.h"

class QAction;
class QObject;

// The main window's commands. Each is one QAction, shared by its toolbar item, its menu item and
// any button in the window, so all of them are enabled together. The owner given at creation owns
// them through Qt parenthood.
struct WindowActions {
    QAction* add = nullptr;       // add CHM files
    QAction* addFolder = nullptr; // add a folder (Qt's dialog picks files or a folder, not both)
    QAction* remove = nullptr;
    QAction* removeAll = nullptr;
    QAction* selectAll = nullptr;
    QAction* moveTop = nullptr;
    QAction* moveUp = nullptr;
    QAction* moveDown = nullptr;
    QAction* moveBottom = nullptr;
    QAction* exportSelected = nullptr;
    QAction* exportAll = nullptr;
    QAction* rating = nullptr;
    QAction* help = nullptr;
    QAction* support = nullptr;
    QAction* about = nullptr;
    QAction* hide = nullptr;
    QAction* quit = nullptr;

    // The commands the file list enables from its rows and selection.
    FileListControls fileListControls() const;
};

// Makes the commands with their titles, images and shortcuts; none is connected yet.
WindowActions CreateWindowActions(QObject* owner);
