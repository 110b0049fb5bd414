#pragma once

#include "common/ProgressCallbackInfo.h"
#include "toolkit/options/ConversionListItem.h"

#include <QUrl>
#include <QVariantMap>

#include <cstdint>

// The record of ConvertImagesToPDF. Page sizes are whole points in this record.
struct ImagesToPDFConversionOptions {
    std::uint8_t mergeIntoOne = 0;
    std::uint8_t keepWidth = 0;
    std::uint8_t keepHeight = 0;
    double quality = 0;
    std::uint32_t outputType = 0; // image type code used to encode the pages' images
    std::uint32_t colorModel = 0;
    std::uint32_t pageMode = 0;
    std::int64_t maxDPI = 0;
    std::uint64_t pageWidth = 0;
    std::uint64_t pageHeight = 0;
    double leftMargin = 0;
    double rightMargin = 0;
    double topMargin = 0;
    double bottomMargin = 0;
    std::uint64_t orientation = 0; // 1 landscape
    std::int64_t scalePercent = 0;
    ConversionList items; // "FilePath" and "Angle"
    QUrl destinationURL;  // the folder, or the merged file
    ProgressCallbackInfo progress;
    QVariantMap pdfWriteOptions;
};
