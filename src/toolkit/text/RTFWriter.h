#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QTextDocument;

// Our writer of Rich Text Format: paragraphs (alignment, indents, spacing, headings as outline
// levels, page breaks), character runs (font, size, bold, italic, underline, strike-through,
// colours, raised and lowered text, links), lists, tables and pictures (PNG).
namespace RTFWriter {

// Where the pictures of an RTFD folder go: given PNG bytes, returns the attachment's file name.
// Without it pictures are embedded in the RTF.
using AttachmentSaver = std::function<QString(const QByteArray& png)>;

QByteArray Write(const QTextDocument& document, const AttachmentSaver& attachments = {});

} // namespace RTFWriter
