#pragma once

#include <QString>

// The file list's user-visible texts by key ("OpenDialogTitle", "OpenDialogButton"): the
// application's text table, with an English text of our own while the table lacks the key.
QString FileListText(const char* key);
