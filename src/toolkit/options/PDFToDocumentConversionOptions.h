#pragma once

#include "common/ProgressCallbackInfo.h"

#include <QString>
#include <QUrl>

#include <cstdint>

// The record of ConvertPDFToDocument.
struct PDFToDocumentConversionOptions {
    QUrl sourceURL;
    QUrl destinationURL;              // the output folder
    QString baseName;
    QString extension;
    QString password;
    std::uint32_t documentType = 0;
    std::uint8_t pagePerFile = 0;
    std::int64_t firstPage = 0;
    std::int64_t lastPage = 0;
    std::uint32_t pageMode = 0;       // 1 single page, 2 range, other all pages
    ProgressCallbackInfo progress;
};
