#pragma once

#include <QString>

// The user-visible texts of the file list, looked up by their keys ("OpenDialogTitle",
// "OpenDialogButton"). An unknown key gives the key itself.
QString FileListText(const QString& key);
