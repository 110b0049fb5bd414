#include "toolkit/imageio/ImageRep.h"

#include "toolkit/codec/ImageLimits.h"
#include "toolkit/imageio/PopplerGlobals.h"

#include <poppler/PDFDoc.h>
#include <poppler/SplashOutputDev.h>
#include <poppler/Stream.h>
#include <splash/SplashBitmap.h>

#include <cstring>

bool AlphaKindHasAlpha(AlphaKind kind)
{
    switch (kind) {
    case AlphaKind::PremultipliedLast:
    case AlphaKind::PremultipliedFirst:
    case AlphaKind::Last:
    case AlphaKind::First:
    case AlphaKind::Only:
        return true;
    default:
        return false;
    }
}

namespace {

QSizeF pointSize(const QImage& pixels, double dpiX, double dpiY)
{
    const double x = dpiX > 0 ? dpiX : 72.0;
    const double y = dpiY > 0 ? dpiY : 72.0;
    return {pixels.width() * 72.0 / x, pixels.height() * 72.0 / y};
}

BitmapImageRep::Description withUsableResolution(BitmapImageRep::Description description)
{
    if (description.dpiX <= 0)
        description.dpiX = 72.0;
    if (description.dpiY <= 0)
        description.dpiY = 72.0;
    return description;
}

std::unique_ptr<PDFDoc> openPDFBytes(const QByteArray& data)
{
    EnsurePopplerGlobals();
    // The stream reads the bytes in place: they live as long as the representation that owns them.
    auto* stream = new MemStream(data.constData(), 0, data.size(), Object(objNull));
    return std::make_unique<PDFDoc>(stream);
}

} // namespace

BitmapImageRep::BitmapImageRep(QImage pixels, Description description)
    : BitmapImageRep(std::move(pixels), QByteArray(), std::move(description))
{
}

BitmapImageRep::BitmapImageRep(QImage pixels, QByteArray cmykSamples, Description description)
    : ImageRep(pixels.width(), pixels.height(), pointSize(pixels, description.dpiX, description.dpiY))
    , m_pixels(std::move(pixels))
    , m_cmykSamples(std::move(cmykSamples))
    , m_description(withUsableResolution(std::move(description)))
{
}

PDFImageRep::PDFImageRep(QByteArray data, int pageCount, QSizeF pageSize)
    : ImageRep(qRound(pageSize.width()), qRound(pageSize.height()), pageSize)
    , m_data(std::move(data))
    , m_pageCount(pageCount)
{
}

std::shared_ptr<PDFImageRep> PDFImageRep::fromData(const QByteArray& data, int pageIndex)
{
    if (data.isEmpty())
        return nullptr;
    const auto document = openPDFBytes(data);
    const int page = pageIndex + 1;
    if (!document->isOk() || pageIndex < 0 || page > document->getNumPages())
        return nullptr;
    QSizeF size(document->getPageCropWidth(page), document->getPageCropHeight(page));
    if (document->getPageRotate(page) % 180 != 0)
        size.transpose();
    auto representation = std::shared_ptr<PDFImageRep>(new PDFImageRep(data, document->getNumPages(), size));
    representation->m_currentPage = pageIndex;
    return representation;
}

QImage PDFImageRep::render(double dpi) const
{
    const double scale = dpi / 72.0;
    const auto width = static_cast<std::int64_t>(size().width() * scale + 0.5);
    const auto height = static_cast<std::int64_t>(size().height() * scale + 0.5);
    if (!FitsDecodedImageLimit(width, height, 4))
        return {};
    const auto document = openPDFBytes(m_data);
    if (!document->isOk())
        return {};
    SplashColor paper = {255, 255, 255, 255};
    SplashOutputDev output(splashModeXBGR8, 4, false, paper);
    output.startDoc(document.get());
    document->displayPage(&output, m_currentPage + 1, dpi, dpi, 0, false, true, false);
    SplashBitmap* bitmap = output.getBitmap();
    if (!bitmap || bitmap->getWidth() <= 0 || bitmap->getHeight() <= 0)
        return {};
    QImage page(bitmap->getWidth(), bitmap->getHeight(), QImage::Format_RGB32);
    if (page.isNull())
        return {};
    const auto rowBytes = static_cast<std::size_t>(page.width()) * 4;
    for (int row = 0; row < page.height(); ++row)
        std::memcpy(page.scanLine(row), bitmap->getDataPtr() + static_cast<std::ptrdiff_t>(row) * bitmap->getRowSize(), rowBytes);
    return page;
}
