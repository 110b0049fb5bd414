#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// Our reader of Word documents in XML: Office Open XML packages (.docx) and Word 2003 XML
// (WordML). Paragraphs with their styles' headings, character runs with style inheritance, lists
// from the numbering definitions, tables with merged cells, pictures, links and page breaks become
// a QTextDocument. Text boxes, headers, footers, footnotes, comments and deleted revisions are left
// out. Both inputs are untrusted: the package is read within TextReadLimits, the XML without
// network or entity expansion; a file that breaks a bound or is malformed gives false with the
// document left empty.
namespace DOCXReader {

bool ReadDOCX(const QByteArray& package, QTextDocument& document, QString* error = nullptr);
bool ReadWordML(const QByteArray& xml, QTextDocument& document, QString* error = nullptr);

// The main XML part alone, as it stands in a package (the fuzz target's entry): styles, numbering
// and pictures are absent.
bool ReadDocumentXML(const QByteArray& xml, QTextDocument& document, QString* error = nullptr);

} // namespace DOCXReader
