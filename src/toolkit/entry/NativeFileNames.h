#pragma once

#include "toolkit/options/ConversionListItem.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>
#include <vector>

// File names as the file system holds them: bytes, which need not be UTF-8. A host hands such a
// name over as a file URL whose path is percent-encoded bytes (FileURLFromPathBytes, in
// Toolkit.h); Qt's own
// file classes would read it as other bytes, and so miss the file or write beside it.
//
// For the length of one conversion, NativeFileNames gives every such URL a stand-in that Qt reads
// correctly: a folder is reached through a descriptor opened on its bytes (/proc/self/fd/N), a
// source file whose own name is not UTF-8 through a link in a private folder, and a destination
// file is written under a stand-in name in its folder, then renamed to its bytes when the
// conversion ends. URLs whose names are UTF-8 come back as they were.
class NativeFileNames {
public:
    NativeFileNames() = default;
    ~NativeFileNames();
    NativeFileNames(const NativeFileNames&) = delete;
    NativeFileNames& operator=(const NativeFileNames&) = delete;

    QUrl source(const QUrl& url);
    QUrl destinationFolder(const QUrl& url);
    QUrl destinationFile(const QUrl& url);
    // A destination that is a folder when one is there, a file otherwise.
    QUrl destination(const QUrl& url);
    // The list with each item's file given its stand-in.
    ConversionList sources(const ConversionList& items);

    // The bytes of a local file URL's path.
    static QByteArray PathBytes(const QUrl& url);

private:
    QUrl folderStandIn(const QByteArray& folder);
    QByteArray linkFolder();

    struct Rename {
        int folder;
        QByteArray from;
        QByteArray to;
    };
    std::vector<int> m_descriptors;
    std::vector<Rename> m_renames;
    std::unique_ptr<QTemporaryDir> m_links;
    int m_linkCount = 0;
};
