#pragma once

#include "common/ProgressCallbackInfo.h"

#include <QString>
#include <QUrl>

#include <cstdint>

// The print orientation values of the options record (the orientation radio group's tags).
enum TomefoldPrintOrientation : std::uint64_t {
    kTomefoldPortraitOrientation = 0,
    kTomefoldLandscapeOrientation = 1,
};

// One batch's settings, carried from the main window into the PDF export. A plain record: copied
// by value between the batch steps and passed by address to the export; it owns none of the
// objects it refers to. A default record is the zero-filled one: no source, destination, progress
// object or encoding, both flags off, every size 0.
struct TomefoldConversionOptions {
    QUrl sourceURL;
    QUrl destinationURL;
    ProgressCallbackInfo progressCallback;
    std::uint8_t exportHyperlinks = 0;
    std::uint8_t exportTOC = 0;
    double pageWidth = 0.0; // points
    double pageHeight = 0.0;
    double leftMargin = 0.0;
    double rightMargin = 0.0;
    double topMargin = 0.0;
    double bottomMargin = 0.0;
    std::uint64_t orientation = kTomefoldPortraitOrientation;
    QString encodingName; // null: the document's own encoding
    // Written into the PDF's document information and XMP metadata when not empty.
    QString title;
    QString author;
    QString subject;
    QString keywords;
};
