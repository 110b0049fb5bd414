#pragma once

#include "common/ProgressCallbackInfo.h"

#include <QString>
#include <QUrl>

#include <cstdint>

// The record of ConvertPDFToDocument, read by PDFToTextConverter. documentType: 1 plain text UTF-8,
// 2 plain text UTF-16, 3 RTF, 4 RTFD, 5 DOC, 6 DOCX, 7 ODT. Pages are counted from 1.
struct PDFToDocumentConversionOptions {
    QUrl sourceURL;
    QUrl destinationURL; // the output folder
    QString baseName;    // empty: the source file's name without its extension
    QString extension;
    QString password;
    std::uint32_t documentType = 0;
    std::uint8_t pagePerFile = 0;
    std::int64_t firstPage = 0;
    std::int64_t lastPage = 0;
    std::uint32_t pageMode = 0; // 1 single page, 2 range, other all pages
    ProgressCallbackInfo progress;
};
