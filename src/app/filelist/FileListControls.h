#pragma once

class QAction;

// The window's commands that the file list enables and disables. Each command is one QAction
// shared by its toolbar button and its menu item, so a menu item is enabled exactly when its
// toolbar item is. Any of them may be missing (nullptr); the window owns them.
struct FileListControls {
    QAction* addAction = nullptr;
    QAction* exportAction = nullptr;
    QAction* exportAllAction = nullptr;
    // "Select All" follows the remove command, as its menu item always has.
    QAction* selectAllAction = nullptr;
    QAction* removeAction = nullptr;
    QAction* removeAllAction = nullptr;
    // The upward pair (top, up) and the downward pair (down, bottom) are enabled together.
    QAction* moveTopAction = nullptr;
    QAction* moveUpAction = nullptr;
    QAction* moveDownAction = nullptr;
    QAction* moveBottomAction = nullptr;
};
