#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QTextDocument;

// Our reader of Rich Text Format: paragraphs, character runs, lists, tables, pictures, page breaks
// and links become a QTextDocument; what a QTextDocument cannot hold (headers, footnotes, fields
// other than links, drawing objects) is left out. The input is untrusted: groups, their nesting and
// embedded objects are bounded (TextReadLimits), and a file that breaks a bound or is no RTF gives
// false with the document left empty.
namespace RTFReader {

// Attachments of an RTFD folder: the bytes of a file named by the text, empty when there is none.
using AttachmentLoader = std::function<QByteArray(const QString& fileName)>;

bool Read(const QByteArray& rtf, QTextDocument& document, QString* error = nullptr,
          const AttachmentLoader& attachments = {});

} // namespace RTFReader
