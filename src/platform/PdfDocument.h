#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QPDF;

// A PDF document held in memory: opened from bytes or made empty, its pages listed and copied
// into another document, and written to a file. The parts of the export that add links and an
// outline reach the underlying qpdf document through qpdf().
class PdfDocument {
public:
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // A new document without pages.
    static std::unique_ptr<PdfDocument> create();
    // The document in these bytes, or null when they are not a readable PDF.
    static std::unique_ptr<PdfDocument> open(const QByteArray& bytes, QString* error = nullptr);

    int pageCount() const;
    // Appends a copy of the source's page at index. The copy is complete at once: the source
    // may be destroyed right afterwards, so only the pages kept stay in memory.
    bool appendPageCopy(const PdfDocument& source, int index, QString* error = nullptr);

    // Writes the document to path through a temporary file beside it that is renamed into place,
    // so an earlier file at path is replaced only by a complete one.
    bool write(const QString& path, QString* error = nullptr) const;
    QByteArray toBytes() const;

    QPDF& qpdf() const { return *m_qpdf; }

private:
    PdfDocument();

    QByteArray m_bytes; // qpdf reads an opened document from these bytes without copying them
    std::unique_ptr<QPDF> m_qpdf;
};
