#pragma once

#include <QUrl>
#include <QVariantMap>

class PdfDocument;
struct PdfWriteOptions;

// The keys of the toolkit's PDF write options (a record's pdfWriteOptions): the user's and the
// owner's password (strings) and whether printing and copying are allowed (booleans, allowed when
// left out). A password, or a permission withheld, writes the PDF encrypted (AES-256).
namespace PDFWriteOptionKey {
inline const QString UserPassword = QStringLiteral("UserPassword");
inline const QString OwnerPassword = QStringLiteral("OwnerPassword");
inline const QString AllowsPrinting = QStringLiteral("AllowsPrinting");
inline const QString AllowsCopying = QStringLiteral("AllowsCopying");
} // namespace PDFWriteOptionKey

PdfWriteOptions PDFWriteOptionsFromDictionary(const QVariantMap& writeOptions);

// How a finished PDF of the toolkit takes its target's place: written whole, with the caller's
// write options, to a scratch file on the target's file system, then renamed over the target in
// one step, so that a failure at any point leaves the old target as it was and no scratch file
// behind. True when the target now holds the document.
bool WritePDFByReplaceByMove(const PdfDocument& document, const QUrl& target, const QVariantMap& writeOptions);

// The road of the runners that write at the target itself once the scratch file's road failed:
// with the same write options, so that a document asked for encrypted is never written plain.
bool WritePDFDirectly(const PdfDocument& document, const QUrl& target, const QVariantMap& writeOptions);
