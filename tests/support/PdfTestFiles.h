#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QStringList>

// Small PDF documents made for tests: one page per entry, each showing its text in Helvetica.
// An empty entry makes a page that draws nothing.
namespace PdfTestFiles {

QByteArray pagesWithTexts(const QStringList& texts, QSizeF pageSize = QSizeF(612, 792), int rotation = 0);
// A page that paints one small black square at (x, y) in page space and carries no text.
QByteArray pageWithSquare(double x, double y, double side, QSizeF pageSize = QSizeF(612, 792), int rotation = 0);
// A page whose text is painted white on white.
QByteArray pageWithWhiteText(const QString& text);

} // namespace PdfTestFiles
