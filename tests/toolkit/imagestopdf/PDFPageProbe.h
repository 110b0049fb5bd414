#pragma once

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>

// What a test needs to know of a written PDF's pages, read back with qpdf.
namespace PDFPageProbe {

struct Page {
    QRectF mediaBox;
    QRectF cropBox;     // the media box when the page has none
    QRectF imageRect;   // where the content stream draws the image
    QString filter;     // the image's filter, e.g. "/DCTDecode"
    QString colorSpace; // empty when the image carries its own
    int imageWidth = 0;
    int imageHeight = 0;
    bool softMask = false;
    QByteArray rawImage; // the image stream's bytes as stored
};

// The pages, or none when the file is not a readable PDF.
QList<Page> pagesOf(const QString& path);

// Whether `qpdf --check` finds the file sound (true when qpdf is not installed).
bool qpdfCheck(const QString& path);

} // namespace PDFPageProbe
