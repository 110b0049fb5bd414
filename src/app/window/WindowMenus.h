#pragma once

class QMenuBar;
struct WindowActions;

// The main window's menus: File (adding, exporting, hiding, quitting), Edit (the list's rows) and
// Help (manual, support, rating, about).
void BuildMenus(QMenuBar& menuBar, const WindowActions& actions);
