#pragma once

#include "common/ProgressCallbackInfo.h"

#include <QString>
#include <QUrl>

#include <cstdint>

// The record of a PDF-to-document conversion, filled by the caller and read by
// PDFToTextConverter. documentType: 1 plain text UTF-8, 2 plain text UTF-16, 3 RTF, 4 RTFD,
// 5 DOC, 6 DOCX, 7 ODT. pageMode: 1 the single page firstPage, 2 the range firstPage..lastPage,
// anything else all pages (pages counted from 1).
struct PDFToDocumentConversionOptions {
    QUrl sourceURL;
    QUrl destinationURL; // the output folder
    QString baseName;    // empty: the source file's name without its extension
    QString extension;
    QString password;
    uint32_t documentType = 1;
    uint8_t pagePerFile = 0;
    int64_t firstPage = 1;
    int64_t lastPage = 1;
    uint32_t pageMode = 0;
    ProgressCallbackInfo progress;
};
