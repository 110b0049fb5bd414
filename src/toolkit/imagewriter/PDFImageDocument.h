#pragma once

#include "toolkit/imageio/ImageRep.h"

#include <QByteArray>

#include <memory>

// A PDF built page by page from images, each page the image's size in points at its resolution.
class PDFImageDocument {
public:
    PDFImageDocument();
    ~PDFImageDocument();
    PDFImageDocument(const PDFImageDocument&) = delete;
    PDFImageDocument& operator=(const PDFImageDocument&) = delete;

    // Appends a page; false when the image has no pixels. A resolution of 0 or less counts as 72.
    bool addPage(const BitmapImageRep& image, double dpiX, double dpiY);
    int pageCount() const { return m_pageCount; }
    // The whole document; empty when it cannot be written.
    QByteArray data() const;

private:
    struct Document;
    std::unique_ptr<Document> m_document;
    int m_pageCount = 0;
};
