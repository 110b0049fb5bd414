#pragma once

#include <QByteArray>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <vector>

// Reads a PDF back with Poppler the way a person's viewer would see it.
namespace PdfReadBack {

int pageCount(const QByteArray& pdf);
// Text of every page in reading order, pages in document order.
QStringList pageTexts(const QByteArray& pdf);
// Size of a page as shown (crop box, rotation applied), in points.
QSizeF pageSize(const QByteArray& pdf, int pageIndex);
// Union of all word boxes of a page as shown, in points from the top-left corner; empty without words.
QRectF textBounds(const QByteArray& pdf, int pageIndex);
// The words of a page as pdftotext -bbox lists them: text and box in points from the top-left corner.
struct Word {
    QString text;
    QRectF box;
};
std::vector<Word> words(const QByteArray& pdf, int pageIndex);
// Number of pixels of a page rendered at 36 dpi whose colour is within 40 of rgb in each channel.
int pixelsOfColour(const QByteArray& pdf, int pageIndex, int red, int green, int blue);

// A text entry of the document information dictionary ("Title", "Producer", ...); null without it.
QString infoEntry(const QByteArray& pdf, const char* key);
// The catalog's XMP metadata packet; empty without one.
QByteArray xmpMetadata(const QByteArray& pdf);

} // namespace PdfReadBack
