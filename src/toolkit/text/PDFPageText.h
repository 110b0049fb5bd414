#pragma once

#include <QString>
#include <QTextCharFormat>

#include <vector>

class PDFDoc;
class TextDocumentBuilder;

// The text of one PDF page as Poppler's text layout finds it: blocks in reading order (each a
// paragraph), their lines, and runs of words that share a font, size, colour and underline.
struct PDFPageText {
    struct Run {
        QString text;
        QTextCharFormat format;
    };
    using Line = std::vector<Run>;
    using Paragraph = std::vector<Line>;

    std::vector<Paragraph> paragraphs;

    // Paragraphs separated by line ends, lines by line ends, words as laid out.
    QString plainText() const;
    bool isEmpty() const { return paragraphs.empty(); }
    // Adds the page to a document: one paragraph per block, its lines kept as line breaks.
    void appendTo(TextDocumentBuilder& builder) const;

    // The page (counted from 1) of an opened document.
    static PDFPageText Extract(PDFDoc& document, int page);
};
