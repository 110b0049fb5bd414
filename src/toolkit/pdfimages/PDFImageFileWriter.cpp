#include "toolkit/pdfimages/PDFImageFileWriter.h"

#include "toolkit/helpers/ImageTypeCodes.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace {

QByteArray QtFormatOf(std::uint32_t outputType)
{
    switch (outputType) {
    case ImageType::PNG: return "png";
    case ImageType::JPEG: return "jpeg";
    case ImageType::TIFF:
    case ImageType::CMYKTIFF:
    case ImageType::MultiPageTIFF: return "tiff";
    case ImageType::BMP: return "bmp";
    case ImageType::GIF: return "gif";
    case ImageType::JPEG2000: return "jp2";
    case ImageType::WebP: return "webp";
    case ImageType::AppleIcon: return "icns";
    case ImageType::TGA: return "tga";
    default: return {};
    }
}

QImage PixelsFor(const BitmapImageRep& image, std::uint32_t outputType)
{
    // Formats without alpha get the image flattened onto white rather than onto black.
    if (!image.hasAlpha() || TypeSupportsAlpha(outputType))
        return image.image();
    QImage flat(image.image().size(), QImage::Format_RGB888);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image.image());
    painter.end();
    return flat;
}

bool EncodeImage(const QImage& pixels, const QByteArray& format, double quality, QIODevice& device)
{
    QImageWriter writer(&device, format);
    if (quality > 0 && (format == "jpeg" || format == "jp2" || format == "webp"))
        writer.setQuality(qBound(0, int(quality * 100.0 + 0.5), 100));
    return writer.write(pixels);
}

// The image as a page of its own size at its resolution, gone through TIFF first as every other
// image of the extractor is when its output type is PDF.
bool EncodePDFPage(const BitmapImageRep& image, QIODevice& device)
{
    QBuffer tiff;
    tiff.open(QIODevice::WriteOnly);
    QImage pixels;
    if (!EncodeImage(PixelsFor(image, ImageType::TIFF), "tiff", 0, tiff) || !pixels.loadFromData(tiff.data(), "tiff"))
        return false;
    const double dpiX = image.dpiX() > 0 ? image.dpiX() : 72.0;
    const double dpiY = image.dpiY() > 0 ? image.dpiY() : 72.0;
    const QSizeF points(pixels.width() * 72.0 / dpiX, pixels.height() * 72.0 / dpiY);
    QPdfWriter pdf(&device);
    pdf.setPageSize(QPageSize(points, QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(72);
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    painter.drawImage(QRectF(QPointF(0, 0), points), pixels);
    return painter.end();
}

} // namespace

bool WriteExtractedImageFile(const BitmapImageRep& image, std::uint32_t outputType, double quality,
                             const QString& path, bool replaceExisting)
{
    if (!replaceExisting && QFile::exists(path))
        return false;
    const QByteArray format = QtFormatOf(outputType);
    if (outputType != ImageType::PDF && (format.isEmpty() || !QImageWriter::supportedImageFormats().contains(format)))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const bool encoded = outputType == ImageType::PDF ? EncodePDFPage(image, file)
                                                     : EncodeImage(PixelsFor(image, outputType), format, quality, file);
    if (!encoded) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
