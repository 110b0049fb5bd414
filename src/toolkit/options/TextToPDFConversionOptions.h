#pragma once

#include "common/ProgressCallbackInfo.h"
#include "toolkit/options/ConversionListItem.h"

#include <QUrl>
#include <QVariantMap>

#include <cstdint>

// The record of ConvertTextToPDF, also taken by HTMLToPDF.
struct TextToPDFConversionOptions {
    ConversionList items; // "FilePath"
    QUrl destinationURL;
    ProgressCallbackInfo progress;
    char mergeIntoOne = 0;
    char applyAttributesToRichText = 0;
    double pageWidth = 0;
    double pageHeight = 0;
    double leftMargin = 0;
    double rightMargin = 0;
    double topMargin = 0;
    double bottomMargin = 0;
    std::uint64_t orientation = 0;
    QVariantMap pdfWriteOptions;
    QVariantMap textAttributes;
};
