#pragma once

#include <QString>

class PdfDocument;

// How a PDF is protected when it is written: with a password, the document is encrypted
// (AES-256); the permissions hold for whoever opens it with the user's password (or none).
struct PdfWriteOptions {
    QString userPassword;
    QString ownerPassword;
    bool allowsPrinting = true;
    bool allowsCopying = true;

    // Whether the document is to be encrypted: a password, or a permission withheld.
    bool encrypts() const;
};

// Writes the document with the options, through a file renamed into place as PdfDocument::write
// does; options that encrypt nothing write the document as that does.
bool WritePdfWithOptions(const PdfDocument& document, const QString& path, const PdfWriteOptions& options,
                         QString* error = nullptr);
