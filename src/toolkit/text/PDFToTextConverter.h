#pragma once

#include "toolkit/options/PDFToDocumentConversionOptions.h"

#include <QString>
#include <QUrl>

#include <memory>

class PDFDoc;
class QTextDocument;

// Extracts the text of a PDF page by page as attributed text and writes it as a text document
// (plain text in UTF-8 or UTF-16, RTF, RTFD, DOC, DOCX or ODT), one file per page or one for the
// selected pages together. Pages without real text are left out.
class PDFToTextConverter {
public:
    // The error code of a PDF that cannot be opened.
    static constexpr int kCannotOpenError = 301;

    // Opens the record's source, unlocking it with the record's password. The record must outlive
    // the converter; it is read, never written.
    explicit PDFToTextConverter(const PDFToDocumentConversionOptions& options);
    ~PDFToTextConverter();
    PDFToTextConverter(const PDFToTextConverter&) = delete;
    PDFToTextConverter& operator=(const PDFToTextConverter&) = delete;

    // 0 when the document opened, kCannotOpenError when it did not.
    int openError() const { return m_openError; }

    // True when at least one page's text was found and every file for it was written.
    bool ConvertDocument();

    // Writes the text by the record's documentType; false when the type is outside 1..7 or the
    // file could not be written.
    bool WriteTextDocument(const QUrl& outputURL, const QTextDocument& text) const;

    // A page's text counts as none when it has fewer than 20 characters, all of them white space,
    // line ends or object replacement characters.
    static bool IsBlankText(const QString& text);

private:
    bool isCancelled() const;
    void reportPage(long page) const;

    const PDFToDocumentConversionOptions& m_options;
    std::unique_ptr<PDFDoc> m_document;
    int m_openError = 0;
    bool m_locked = false;
};
