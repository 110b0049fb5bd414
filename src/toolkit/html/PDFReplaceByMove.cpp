#include "toolkit/html/PDFReplaceByMove.h"

#include "common/FileReplacement.h"
#include "common/TemporaryFileNames.h"
#include "platform/PdfDocument.h"
#include "platform/PdfWriteOptions.h"

#include <QFile>

PdfWriteOptions PDFWriteOptionsFromDictionary(const QVariantMap& writeOptions)
{
    PdfWriteOptions options;
    options.userPassword = writeOptions.value(PDFWriteOptionKey::UserPassword).toString();
    options.ownerPassword = writeOptions.value(PDFWriteOptionKey::OwnerPassword).toString();
    options.allowsPrinting = writeOptions.value(PDFWriteOptionKey::AllowsPrinting, true).toBool();
    options.allowsCopying = writeOptions.value(PDFWriteOptionKey::AllowsCopying, true).toBool();
    return options;
}

bool WritePDFDirectly(const PdfDocument& document, const QUrl& target, const QVariantMap& writeOptions)
{
    return target.isLocalFile()
           && WritePdfWithOptions(document, target.toLocalFile(), PDFWriteOptionsFromDictionary(writeOptions));
}

bool WritePDFByReplaceByMove(const PdfDocument& document, const QUrl& target, const QVariantMap& writeOptions)
{
    if (!target.isLocalFile())
        return false;
    const QUrl scratch = WBQUtil::GetTemporaryURLAppropriateForURL(target);
    // Without a scratch name the document is written at the target directly, itself through a
    // file beside it that is renamed into place.
    if (scratch.isEmpty())
        return WritePDFDirectly(document, target, writeOptions);
    if (!WritePdfWithOptions(document, scratch.toLocalFile(), PDFWriteOptionsFromDictionary(writeOptions))) {
        QFile::remove(scratch.toLocalFile());
        return false;
    }
    if (WBQUtil::ReplaceFileAtURL(scratch, target))
        return true;
    QFile::remove(scratch.toLocalFile());
    return false;
}
