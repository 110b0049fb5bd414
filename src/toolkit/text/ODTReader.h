#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// Our reader of OpenDocument text (.odt, .ott) and OpenOffice.org 1 text (.sxw, .stw) packages:
// paragraphs and headings with their styles (inherited through parents and the default style),
// spans, lists, tables with merged cells, pictures, links and page breaks become a QTextDocument;
// notes, annotations, tracked changes and drawing shapes are left out. The package is untrusted:
// read within TextReadLimits, its XML without network or entity expansion; a file that breaks a
// bound or is malformed gives false with the document left empty.
namespace ODTReader {

bool Read(const QByteArray& package, QTextDocument& document, QString* error = nullptr);

// The content part alone (the fuzz target's entry): common styles and pictures are absent.
bool ReadContentXML(const QByteArray& xml, QTextDocument& document, QString* error = nullptr);

} // namespace ODTReader
