#pragma once

#include <PDFDoc.h>

#include <QByteArray>
#include <QString>

#include <memory>

namespace PDFCore {

// A PDF opened with the PDF core, from a file or from bytes it keeps alive for the document.
// Opening makes the core's settings first when they do not exist yet.
class CorePDFDocument
{
public:
    // None when the file does not open as a PDF.
    static std::unique_ptr<CorePDFDocument> fromFile(const QString& path);
    static std::unique_ptr<CorePDFDocument> fromBytes(QByteArray bytes);

    PDFDoc& document() { return *doc; }
    int pageCount() { return doc->getNumPages(); }

private:
    CorePDFDocument() = default;
    static std::unique_ptr<CorePDFDocument> keepIfOpen(std::unique_ptr<CorePDFDocument> opened);

    QByteArray bytes; // read by `doc` for its whole life
    std::unique_ptr<PDFDoc> doc;
};

} // namespace PDFCore
