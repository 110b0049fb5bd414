#include "toolkit/helpers/PDFPrintPermission.h"

#include "platform/PdfDocument.h"

#include <QDir>

namespace PDFPrintPermission {

bool ForbidsPrinting(const PdfDocument& document)
{
    return document.isEncrypted() && !document.allowsPrinting();
}

void Warn(const QUrl& file, const QString& outcome, const QString& why)
{
    const QString name = file.isLocalFile() ? QDir::toNativeSeparators(file.toLocalFile()) : file.toString();
    qWarning("%s: %s: %s", qUtf8Printable(name), qUtf8Printable(outcome), qUtf8Printable(why));
}

} // namespace PDFPrintPermission
