#pragma once

#include <QUrl>

#include <functional>
#include <optional>

class QFileDialog;
class QWidget;

// Asks for the folder a batch exports into; nothing when the user cancels. The accessory view is
// shown inside the chooser while it runs and handed back to its owner afterwards.
using ExportFolderChooser = std::function<std::optional<QUrl>(QWidget* window, QWidget* accessoryView)>;

// The real chooser: Qt's own folder dialog, modal to the window, titled and confirmed with
// "Export"; one existing or newly made folder.
std::optional<QUrl> RunExportFolderChooser(QWidget* window, QWidget* accessoryView);

// The folder a confirmed chooser names: a folder path typed in its name field (absolute, or
// within the folder shown), else the selected folder, else the folder shown.
std::optional<QUrl> ChosenExportFolder(const QFileDialog& dialog);

// Title, button and modes of the chooser (without its accessory).
void ConfigureExportFolderDialog(QFileDialog& dialog);
