#include "toolkit/html/PDFReplaceByMove.h"

#include "common/FileReplacement.h"
#include "common/TemporaryFileNames.h"
#include "platform/PdfDocument.h"

#include <QFile>

bool WritePDFByReplaceByMove(const PdfDocument& document, const QUrl& target, const QVariantMap& /*writeOptions*/)
{
    if (!target.isLocalFile())
        return false;
    const QUrl scratch = WBQUtil::GetTemporaryURLAppropriateForURL(target);
    // Without a scratch name the document is written at the target directly, itself through a
    // file beside it that is renamed into place.
    if (scratch.isEmpty())
        return document.write(target.toLocalFile());
    if (!document.write(scratch.toLocalFile())) {
        QFile::remove(scratch.toLocalFile());
        return false;
    }
    if (WBQUtil::ReplaceFileAtURL(scratch, target))
        return true;
    QFile::remove(scratch.toLocalFile());
    return false;
}
