#pragma once

#include "toolkit/imageio/ImageMetadata.h"

#include <QByteArray>
#include <QImage>
#include <QSizeF>

#include <memory>

// The colour model of a bitmap's samples.
enum class ColorSpaceModel {
    Grey,
    RGB,
    CMYK,
    Indexed
};

// How a bitmap holds alpha, in the terms of a bitmap context: none, premultiplied or straight, after or
// before the colour samples, alpha alone, or a padding sample that is not alpha.
enum class AlphaKind {
    None,
    PremultipliedLast,
    PremultipliedFirst,
    Last,
    First,
    Only,
    NoneSkipLast,
    NoneSkipFirst
};

bool AlphaKindHasAlpha(AlphaKind kind);

// One representation of an image: a size in pixels and a size in points (which give its resolution).
class ImageRep {
public:
    virtual ~ImageRep() = default;

    int pixelsWide() const { return m_pixelsWide; }
    int pixelsHigh() const { return m_pixelsHigh; }
    QSizeF size() const { return m_size; }
    void setSize(QSizeF points) { m_size = points; }
    virtual bool hasAlpha() const = 0;

protected:
    ImageRep(int pixelsWide, int pixelsHigh, QSizeF size)
        : m_pixelsWide(pixelsWide)
        , m_pixelsHigh(pixelsHigh)
        , m_size(size)
    {}

private:
    int m_pixelsWide = 0;
    int m_pixelsHigh = 0;
    QSizeF m_size;
};

// A representation held as decoded samples. The pixels are a QImage in RGB or grey (8 or 16 bits a
// sample, alpha straight in Format_RGBA8888/RGBA64 or premultiplied as QImage keeps it); a CMYK source
// also keeps its own samples (four 8-bit samples a pixel, 0 = no ink), from which the RGB pixels were made.
class BitmapImageRep : public ImageRep {
public:
    struct Description {
        ColorSpaceModel colorSpace = ColorSpaceModel::RGB;
        int bitsPerComponent = 8;
        AlphaKind alphaKind = AlphaKind::None;
        double dpiX = 72.0;
        double dpiY = 72.0;
        QByteArray iccProfile;
        ImageMetadata metadata;
    };

    // The point size comes from the resolution; a resolution of 0 or less counts as 72.
    BitmapImageRep(QImage pixels, Description description);
    BitmapImageRep(QImage pixels, QByteArray cmykSamples, Description description);

    const QImage& image() const { return m_pixels; }
    const QByteArray& cmykSamples() const { return m_cmykSamples; }
    ColorSpaceModel colorSpace() const { return m_description.colorSpace; }
    int bitsPerComponent() const { return m_description.bitsPerComponent; }
    AlphaKind alphaKind() const { return m_description.alphaKind; }
    bool hasAlpha() const override { return AlphaKindHasAlpha(m_description.alphaKind); }
    const QByteArray& iccProfile() const { return m_description.iccProfile; }
    const ImageMetadata& metadata() const { return m_description.metadata; }
    void setMetadata(ImageMetadata metadata) { m_description.metadata = std::move(metadata); }
    double dpiX() const { return m_description.dpiX; }
    double dpiY() const { return m_description.dpiY; }

private:
    QImage m_pixels;
    QByteArray m_cmykSamples;
    Description m_description;
};

// A PDF document held as its bytes, showing one page at a time; its size is the page's crop box in points.
class PDFImageRep : public ImageRep {
public:
    // The document showing the page of the index (from 0), with that page's size. None when the bytes are
    // not a PDF that opens without a password, or the document has no such page.
    static std::shared_ptr<PDFImageRep> fromData(const QByteArray& data, int pageIndex = 0);

    const QByteArray& data() const { return m_data; }
    int pageCount() const { return m_pageCount; }
    int currentPage() const { return m_currentPage; }
    bool hasAlpha() const override { return true; }

    // The current page drawn at the given resolution on white (ARGB32 premultiplied); null when the page
    // would pass the decoded-size limit or cannot be drawn.
    QImage render(double dpi) const;

private:
    PDFImageRep(QByteArray data, int pageCount, QSizeF pageSize);

    QByteArray m_data;
    int m_pageCount = 0;
    int m_currentPage = 0;
};
