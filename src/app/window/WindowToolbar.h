#pragma once

class QMainWindow;
class QToolBar;
struct WindowActions;

// The main window's toolbar: add, remove and move items, the two export items, and the "Rating"
// and "Help" items at its end. Items are known by their actions' identifiers.
QToolBar* BuildMainToolbar(QMainWindow& window, const WindowActions& actions);
