#pragma once

#include "toolkit/imageio/ImageRep.h"

#include <QByteArray>
#include <QRectF>

#include <memory>

// Where a page made from an image puts its boxes and the image, in points, the origin at the lower left.
// An empty crop box means the media box.
struct PDFImagePageGeometry {
    QRectF mediaBox;
    QRectF cropBox;
    QRectF imageRect;    // the image as seen, after its orientation
    int orientation = 1; // Exif orientation of the stored samples (1 to 8); the page shows them turned upright
};

// An image whose encoded bytes PDF reads itself, embedded byte for byte: JPEG (DCTDecode) or JPEG 2000
// (JPXDecode, which carries its own colour space).
struct PDFEncodedImage {
    QByteArray bytes;
    bool jpeg2000 = false;
    int width = 0;
    int height = 0;
    int components = 3; // JPEG: 1 grey, 3 RGB, 4 CMYK (inks as they are, 0: no ink)
};

// A PDF built page by page from images, each page the image's size in points at its resolution.
class PDFImageDocument {
public:
    PDFImageDocument();
    ~PDFImageDocument();
    PDFImageDocument(const PDFImageDocument&) = delete;
    PDFImageDocument& operator=(const PDFImageDocument&) = delete;

    // Appends a page; false when the image has no pixels. A resolution of 0 or less counts as 72.
    bool addPage(const BitmapImageRep& image, double dpiX, double dpiY);
    // Appends a page with these boxes, the samples Flate-compressed (alpha as a soft mask).
    bool addPage(const BitmapImageRep& image, const PDFImagePageGeometry& geometry);
    // Appends a page with these boxes that shows the encoded bytes as they are; false without a size.
    bool addEncodedPage(const PDFEncodedImage& image, const PDFImagePageGeometry& geometry);
    int pageCount() const { return m_pageCount; }
    // The whole document; empty when it cannot be written.
    QByteArray data() const;

private:
    struct Document;
    std::unique_ptr<Document> m_document;
    int m_pageCount = 0;
};
