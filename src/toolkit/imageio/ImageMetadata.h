#pragma once

#include <QMap>
#include <QString>
#include <QVariantMap>

// A file's metadata in the dictionaries an image writer copies: "{TIFF}" (the main image's tags),
// "{Exif}", "{GPS}", "{IPTC}" and "{XMP}", each mapping a tag name to its value as text, plus the
// orientation (1 to 8; 0 when the file gives none).
struct ImageMetadata {
    QMap<QString, QVariantMap> dictionaries;
    int orientation = 0;

    bool isEmpty() const { return dictionaries.isEmpty() && orientation == 0; }
};
