#pragma once

#include <QByteArray>

#include <memory>

class PDFDoc;
class PdfDocument;

// One topic as printed: the PDF bytes, opened once for copying pages and once for reading what
// the pages show (blank test, text layout). Lives for one topic's step only.
class PrintedTopic {
public:
    ~PrintedTopic();
    PrintedTopic(const PrintedTopic&) = delete;
    PrintedTopic& operator=(const PrintedTopic&) = delete;

    // Null when the bytes are not a PDF both readers can open.
    static std::unique_ptr<PrintedTopic> open(const QByteArray& bytes);

    int pageCount() const;
    bool isBlankPage(int index) const;
    const PdfDocument& pages() const { return *m_pages; }
    PDFDoc& textDocument() const { return *m_textDocument; }

private:
    PrintedTopic();

    QByteArray m_bytes;
    std::unique_ptr<PdfDocument> m_pages;
    std::unique_ptr<PDFDoc> m_textDocument; // reads m_bytes in place
};
