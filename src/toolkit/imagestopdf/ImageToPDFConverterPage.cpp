#include "toolkit/imagestopdf/ImageToPDFConverter.h"

#include "platform/PdfDocument.h"
#include "toolkit/imageio/ImageFileReader.h"
#include "toolkit/imagestopdf/EncodedImageHeader.h"
#include "toolkit/imagewriter/PDFImageDocument.h"

#include <memory>

namespace {

// The encoded image decoded, for types PDF cannot show as they are. The bytes say what they are: with the
// output type 0 they are in the source's own format.
std::shared_ptr<BitmapImageRep> DecodedBitmap(const QByteArray& data)
{
    const ImageRepList representations = ReadImageBytes(data);
    if (!representations.empty())
        return std::dynamic_pointer_cast<BitmapImageRep>(representations.front());
    std::shared_ptr<Image> image;
    if (!ImageConverter::DecodeImageData(data, image) || !image)
        return nullptr;
    return image->makeBitmapRepresentation();
}

double PointsOf(int pixels, double dpi)
{
    return pixels * 72.0 / (dpi > 0 ? dpi : 72.0);
}

} // namespace

void ImageToPDFConverter::AddEncodedPage(const QByteArray& data, void* context)
{
    static_cast<ImageToPDFConverter*>(context)->InsertPage(data);
}

bool ImageToPDFConverter::InsertPage(const QByteArray& data)
{
    if (!m_document || data.isEmpty())
        return false;
    PDFEncodedImage encoded;
    std::shared_ptr<BitmapImageRep> bitmap;
    int pixelWidth = 0;
    int pixelHeight = 0;
    double dpiX = m_fileConverter ? m_fileConverter->m_dpiX : 0;
    double dpiY = m_fileConverter ? m_fileConverter->m_dpiY : 0;
    if (ReadEncodedImageHeader(data, encoded)) {
        pixelWidth = encoded.width;
        pixelHeight = encoded.height;
    } else {
        bitmap = DecodedBitmap(data);
        if (!bitmap || bitmap->image().isNull())
            return false;
        pixelWidth = bitmap->image().width();
        pixelHeight = bitmap->image().height();
        if (dpiX <= 0 || dpiY <= 0) {
            dpiX = bitmap->dpiX();
            dpiY = bitmap->dpiY();
        }
    }
    // The bytes carry the turn as an Exif orientation; the page shows the image upright.
    const std::uint32_t orientation = m_fileConverter ? m_fileConverter->m_orientation : 1;
    const bool sideways = orientation >= 5 && orientation <= 8;
    const double imageWidth = sideways ? PointsOf(pixelHeight, dpiY) : PointsOf(pixelWidth, dpiX);
    const double imageHeight = sideways ? PointsOf(pixelWidth, dpiX) : PointsOf(pixelHeight, dpiY);

    PDFImagePageGeometry geometry;
    geometry.orientation = orientation >= 1 && orientation <= 8 ? static_cast<int>(orientation) : 1;
    geometry.mediaBox = geometry.cropBox = geometry.imageRect = QRectF(0, 0, imageWidth, imageHeight);
    if (m_layoutMode != 0) {
        const QRectF paper = PaperRect();
        const double contentWidth = ContentWidth();
        const double contentHeight = ContentHeight();
        double mediaWidth = paper.width();
        double mediaHeight = paper.height();
        double cropX = 0;
        if (!m_keepWidth && contentWidth > imageWidth) {
            mediaWidth += contentWidth - imageWidth;
            cropX = contentWidth - imageWidth;
        }
        if (!m_keepHeight && contentHeight > imageHeight)
            mediaHeight += contentHeight - imageHeight;
        geometry.mediaBox = QRectF(0, 0, mediaWidth, mediaHeight);
        geometry.cropBox = QRectF(cropX, 0, paper.width(), paper.height());
        // The image sits in the middle of the visible page's content area.
        geometry.imageRect = QRectF(cropX + m_leftMargin + (contentWidth - imageWidth) / 2.0,
                                    m_bottomMargin + (contentHeight - imageHeight) / 2.0, imageWidth, imageHeight);
    }

    PDFImageDocument page;
    const bool made = bitmap ? page.addPage(*bitmap, geometry) : page.addEncodedPage(encoded, geometry);
    if (!made)
        return false;
    const std::unique_ptr<PdfDocument> single = PdfDocument::open(page.data());
    // Pages can only be appended: the runners and the mixed list always insert at the end.
    if (!single || !m_document->appendPageCopy(*single, 0))
        return false;
    ++m_insertIndex;
    m_pageAdded = 1;
    return true;
}
