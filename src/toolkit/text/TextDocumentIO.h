#pragma once

#include <QString>

#include <cstdint>

class QTextDocument;

// Reading any text document a person would give a text converter into a QTextDocument, and
// writing a QTextDocument in the formats the toolkit writes.
namespace TextDocumentIO {

// The output formats, numbered as the toolkit's document type option numbers them.
enum class OutputFormat : uint32_t {
    PlainTextUTF8 = 1,
    PlainTextUTF16 = 2,
    RTF = 3,
    RTFD = 4,
    DOC = 5,
    DOCX = 6,
    ODT = 7,
};

// The format of a number; false for numbers outside 1..7.
bool OutputFormatFromNumber(uint32_t number, OutputFormat* format);

// Reads a file (or an RTFD folder) by its document type code (DocumentTypeCode, TextDocumentFiles.h); code 0 lets the
// file's name and content decide. Plain text, RTF, RTFD, HTML, web archives, DOCX (and Word
// templates), WordML, ODT and OpenOffice.org text are read here; DOC through LibreOffice. False, with the document empty,
// when the file cannot be read or is not what its type says.
bool Read(const QString& path, QTextDocument& document, QString* error = nullptr, uint32_t type = 0);

// Writes the document to path, replacing a file there only with a complete new one (an RTFD folder
// is never written over an existing one). False when anything could not be written.
bool Write(const QTextDocument& document, const QString& path, OutputFormat format, QString* error = nullptr);

} // namespace TextDocumentIO
