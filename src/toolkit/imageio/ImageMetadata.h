#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVariantMap>

// A file's metadata in the dictionaries an image writer copies: "{TIFF}" (the main image's tags),
// "{Exif}", "{GPS}", "{IPTC}" and "{XMP}", each mapping a tag name to its value as text, plus the
// orientation (1 to 8; 0 when the file gives none).
// "{PNG}" holds a PNG's text chunks (keyword to text). `exif` is the whole Exif block as read, maker
// notes included, which no dictionary of text can carry.
struct ImageMetadata {
    QMap<QString, QVariantMap> dictionaries;
    int orientation = 0;
    QByteArray exif;

    bool isEmpty() const { return dictionaries.isEmpty() && orientation == 0 && exif.isEmpty(); }
};
