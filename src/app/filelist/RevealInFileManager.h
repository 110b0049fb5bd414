#pragma once

#include <QUrl>

// Shows a file or folder selected in the desktop's file manager (the freedesktop FileManager1
// service); without that service, opens the folder that holds it. Never waits for the answer.
void RevealInFileManager(const QUrl& fileURL);
