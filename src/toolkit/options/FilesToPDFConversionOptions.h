#pragma once

#include "common/ProgressCallbackInfo.h"
#include "toolkit/options/ConversionListItem.h"

#include <QUrl>
#include <QVariantMap>

#include <cstdint>

// The record of ConvertFilesToPDF: a mixed list of images, text documents, PDFs and HTML files.
struct FilesToPDFConversionOptions {
    ConversionList items; // "FilePath", "FileType", "Angle", "Password"; required
    QUrl destinationURL;  // required
    ProgressCallbackInfo progress;
    char mergeIntoOne = 0;
    char applyAttributesToRichText = 0;
    char addOutlineEntries = 0;
    double pageWidth = 0;
    double pageHeight = 0;
    double leftMargin = 0;
    double rightMargin = 0;
    double topMargin = 0;
    double bottomMargin = 0;
    std::uint64_t orientation = 0;
    double imageQuality = 0;
    std::uint32_t imageOutputType = 0;
    std::uint32_t imageColorModel = 0;
    std::uint32_t imagePageMode = 0;
    std::int64_t maxDPI = 0;
    std::int64_t scalePercent = 0;
    char keepWidth = 0;
    char keepHeight = 0;
    QVariantMap pdfWriteOptions;
    QVariantMap textAttributes;
};
