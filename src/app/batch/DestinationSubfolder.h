#pragma once

#include <QUrl>

// The destination sub-folder of a kept folder item: the item's name inside the destination. A
// folder already there is used as it is, so two items of the same name share it and the PDFs in it
// stay; a free name is made into a folder. A name held by anything else (a plain file, a dangling
// link) would swallow the item's PDFs, so "name 1", "name 2", ... are tried by the same rule.
//
// On entry *folderURL is the folder item's URL; on success it becomes the sub-folder's URL and the
// result is 0. When the folder cannot be made the result is the system's error number (never 0)
// and *folderURL is left alone.
qint64 GetDestinationDirURLFor(QUrl* folderURL, const QUrl& destinationURL);
