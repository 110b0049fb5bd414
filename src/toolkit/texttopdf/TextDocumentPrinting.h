#pragma once

#include "toolkit/html/HTMLPrintSettings.h"

#include <QByteArray>
#include <QSizeF>
#include <QTextCharFormat>

class QPdfWriter;
class QTextDocument;

// Printing a text document into PDF bytes with the paper, margins and orientation of the HTML
// road. The document is laid out paper-sized with the margins on its root frame and printed on a
// writer without margins: lines that cross a page break are then drawn once, on the next page.
namespace TextDocumentPrinting {

// The area the text is laid out in, in points: the oriented paper less the margins.
QSizeF TextArea(const HTMLPrintSettings& settings);

// Latin ligatures ("fi" as one glyph) reach the PDF's text as their own code points, and a reader
// then finds no "file" in it: text is printed without the shaping that is only cosmetic (scripts that
// need shaping keep it). The format to print with, and the same made over a whole document.
QTextCharFormat WithoutCosmeticShaping(QTextCharFormat format);
void RemoveCosmeticShaping(QTextDocument& document);

// Sets the writer to the settings' paper, without margins; false when the margins leave no room.
bool PrepareWriter(QPdfWriter& writer, const HTMLPrintSettings& settings);

// Lays the document out in pages of the settings' paper against the writer, the margins on its
// root frame. The document's layout keeps the writer as its paint device.
void LayOutForWriter(QTextDocument& document, const HTMLPrintSettings& settings, QPdfWriter& writer);

// The PDF of the document, or empty bytes when the margins leave no room or nothing could be
// drawn. The document's page size and root frame margins are changed for the print.
QByteArray PrintToPDF(QTextDocument& document, const HTMLPrintSettings& settings);

} // namespace TextDocumentPrinting
