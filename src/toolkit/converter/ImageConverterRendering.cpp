#include "toolkit/converter/ImageConverter.h"

#include "toolkit/codec/JPEGCodec.h"
#include "toolkit/converter/LuminanceSharpen.h"
#include "toolkit/converter/TextStamp.h"
#include "toolkit/helpers/BitmapContext.h"
#include "toolkit/helpers/BitmapRepresentation.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/helpers/OrientationTransform.h"
#include "toolkit/helpers/StampPlacement.h"
#include "toolkit/imageio/CMYKSamples.h"
#include "toolkit/imageio/SourceLimits.h"
#include "toolkit/imagewriter/CMYKConversion.h"

#include <QPainter>

#include <cmath>
#include <cstring>
#include <utility>

namespace {

// The colour model the rendered bitmap is made in, and whether the source's alpha survives as a mask.
struct RenderTarget {
    ColorSpaceModel space = ColorSpaceModel::RGB;
    int bitsPerComponent = 8;
    bool alpha = false;
    bool mask = false;
    // The source's profile, while the samples stay in the source's own colour space.
    QByteArray iccProfile;
};

// Reductions are resampled by area averaging first (QImage's smooth scaling averages every source pixel
// that covers a target pixel), so that the painter only places the picture; bilinear sampling alone
// drops most source pixels of a large reduction and aliases.
QImage Resampled(const QImage& source, const QRectF& rect)
{
    const int width = static_cast<int>(std::lround(std::abs(rect.width())));
    const int height = static_cast<int>(std::lround(std::abs(rect.height())));
    if (width < 1 || height < 1 || (width >= source.width() && height >= source.height()))
        return source;
    return source.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void SetUpContext(QPainter& context, int bitmapHeight)
{
    context.setRenderHint(QPainter::Antialiasing);
    context.setRenderHint(QPainter::SmoothPixmapTransform);
    context.setTransform(BitmapContextTransform(bitmapHeight));
}

// Pixels of the canvas in the target's model: RGB as drawn (alpha kept only when the source had it),
// grey and CMYK on white; a CMYK bitmap with a mask keeps the mask as the preview's alpha.
BitmapImageRep FinishedBitmap(QImage canvas, const RenderTarget& target, const QImage& mask, double dpiX, double dpiY)
{
    BitmapImageRep::Description description;
    description.colorSpace = target.space;
    description.bitsPerComponent = target.bitsPerComponent;
    description.dpiX = dpiX;
    description.dpiY = dpiY;
    if (target.space == ColorSpaceModel::CMYK) {
        // Inks made here from RGB are in the system's CMYK, not in the source's.
        const QImage flat = FlattenOnWhite(canvas);
        QByteArray inks = RGBImageToCMYK(flat);
        QImage preview = RGBImageFromCMYK(inks, flat.width(), flat.height());
        if (target.mask && !mask.isNull()) {
            preview = preview.convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < preview.height(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(preview.scanLine(y));
                const uchar* alpha = mask.constScanLine(y);
                for (int x = 0; x < preview.width(); ++x)
                    row[x] = (row[x] & 0x00FFFFFFU) | (static_cast<QRgb>(alpha[x]) << 24);
            }
            description.alphaKind = AlphaKind::Last;
        }
        description.bitsPerComponent = 8;
        return BitmapImageRep(std::move(preview), std::move(inks), description);
    }
    description.iccProfile = target.iccProfile;
    if (target.space == ColorSpaceModel::Grey) {
        const bool deep = target.bitsPerComponent == 16;
        return BitmapImageRep(FlattenOnWhite(canvas).convertToFormat(deep ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8),
                              description);
    }
    if (!target.alpha) {
        const bool deep = target.bitsPerComponent == 16;
        return BitmapImageRep(FlattenOnWhite(canvas).convertToFormat(deep ? QImage::Format_RGBX64 : QImage::Format_RGB32),
                              description);
    }
    description.alphaKind = AlphaKind::PremultipliedLast;
    return BitmapImageRep(std::move(canvas), description);
}

// A CMYK picture drawn one to one keeps its own inks: going through RGB and back would turn pure black
// ink into a four-ink black and move every colour by two conversions.
BitmapImageRep KeptInks(const BitmapImageRep& image, double dpiX, double dpiY)
{
    BitmapImageRep::Description description;
    description.colorSpace = ColorSpaceModel::CMYK;
    description.dpiX = dpiX;
    description.dpiY = dpiY;
    description.iccProfile = image.iccProfile();
    QByteArray inks = image.cmykSamples();
    if (inks.size() != static_cast<qsizetype>(image.pixelsWide()) * image.pixelsHigh() * 4)
        inks = RGBImageToCMYK(image.image());
    return BitmapImageRep(image.image().convertToFormat(QImage::Format_RGB32), std::move(inks), description);
}

} // namespace

QImage ImageConverter::CreateAlphaMask(const QImage& image, int width, int height, const QTransform& orientation,
                                       const QRectF& rect) const
{
    // Rows of the mask start on 16-byte boundaries, as the drawing code's vector loops like them.
    const int rowBytes = (width + 15) / 16 * 16;
    auto* bytes = new uchar[static_cast<size_t>(rowBytes) * static_cast<size_t>(height)]();
    QImage mask(
        bytes, width, height, rowBytes, QImage::Format_Alpha8, [](void* data) { delete[] static_cast<uchar*>(data); },
        bytes);
    QPainter context(&mask);
    SetUpContext(context, height);
    context.setTransform(orientation, true);
    DrawImageUpright(context, image, rect);
    context.end();
    return mask;
}

void ImageConverter::DrawOverlay(QPainter& context, double canvasWidth, double canvasHeight)
{
    const float scale = StampCanvasScale(canvasWidth, canvasHeight);
    const StampItemBox box{m_overlayX, m_overlayY, m_overlayRight, m_overlayTop};
    const QPointF origin = PlaceStampItem(box, QSizeF(m_textStamp.referenceWidth, m_textStamp.referenceHeight),
                                          QSizeF(canvasWidth, canvasHeight), QSizeF(scale, scale));
    m_overlayX = origin.x();
    m_overlayY = origin.y();
    const auto bitmap = m_overlayImage ? GetBitmapRepresentation(*m_overlayImage) : nullptr;
    if (!bitmap || bitmap->image().isNull())
        return;
    double w = bitmap->pixelsWide();
    double h = bitmap->pixelsHigh();
    if (w > h && w > 550) {
        h = h * 550 / w;
        w = 550;
    } else if (h > 550) {
        w = w * 550 / h;
        h = 550;
    }
    context.save();
    context.setOpacity(m_overlayAlpha);
    DrawImageUpright(context, bitmap->image(),
                     QRectF(origin.x(), origin.y(), w * m_overlayScale * scale, h * m_overlayScale * scale));
    context.setOpacity(1.0);
    context.restore();
}

bool ImageConverter::EncodeCMYKJPEG(unsigned width, unsigned height, const QByteArray& inks)
{
    if (inks.size() != static_cast<qsizetype>(width) * height * 4)
        return false;
    CodecBuffer jpeg;
    const int quality = static_cast<int>(m_quality * 100.0);
    if (EncodeJPEGToMemory(width, height, reinterpret_cast<const uint8_t*>(inks.constData()), JCS_CMYK, 4, &jpeg,
                           quality, m_dpiX, m_dpiY)
            != 0
        || jpeg.empty())
        return false;
    m_encodedData = QByteArray(reinterpret_cast<const char*>(jpeg.data()), static_cast<qsizetype>(jpeg.size()));
    return true;
}

void ImageConverter::WriteFittedResolution(int bitmapWidth, int bitmapHeight)
{
    if (m_fixedDPI > 0) {
        m_dpiX = m_dpiY = m_fixedDPI;
        return;
    }
    if (!(m_fitWidth > 0 && m_fitHeight > 0))
        return;
    double a = bitmapWidth;
    double b = bitmapHeight;
    if (m_orientation >= 5)
        std::swap(a, b);
    if (a > m_fitWidth || b > m_fitHeight)
        m_dpiX = m_dpiY = 72.0 * std::max(a / m_fitWidth, b / m_fitHeight);
}

bool ImageConverter::RenderImage(const BitmapImageRep& image, unsigned outWidth, unsigned outHeight, bool sharpen,
                                 const QRectF& rect)
{
    const bool alpha = image.hasAlpha();
    unsigned bitmapWidth = outWidth;
    unsigned bitmapHeight = outHeight;
    if ((m_rotation / 90) % 2 != 0) {
        std::swap(m_dpiX, m_dpiY);
        std::swap(bitmapWidth, bitmapHeight);
    }
    RenderTarget target;
    if (m_outputType == ImageType::CMYKTIFF || m_colorModel == 2)
        target.space = ColorSpaceModel::CMYK;
    else if (m_colorModel == 1)
        target.space = ColorSpaceModel::RGB;
    else if (m_colorModel == 3)
        target.space = ColorSpaceModel::Grey;
    else {
        target.space = image.colorSpace();
        target.bitsPerComponent = image.bitsPerComponent() == 16 ? 16 : 8;
    }
    ResolveOutputType();
    if (target.space == ColorSpaceModel::Indexed) {
        target.space = ColorSpaceModel::RGB;
        m_colorModel = 1;
    } else if (target.space == ColorSpaceModel::CMYK && alpha) {
        if (m_outputType == ImageType::TIFF || m_outputType == ImageType::CMYKTIFF) {
            target.mask = true;
        } else {
            // Only TIFF holds CMYK with alpha: elsewhere the picture goes out in RGB with its alpha.
            target.space = ColorSpaceModel::RGB;
            m_colorModel = 1;
        }
    }
    target.alpha = alpha && target.space == ColorSpaceModel::RGB;
    if (m_colorModel == 0 && target.space == image.colorSpace() && target.space != ColorSpaceModel::CMYK)
        target.iccProfile = image.iccProfile();
    // The bitmap context: none for an empty output, nor for one past the bound a picture is held to.
    if (bitmapWidth == 0 || bitmapHeight == 0)
        return false;
    if (DecodedImageBytes(bitmapWidth, bitmapHeight, target.bitsPerComponent == 16 ? 8 : 4) > kMaxSourceDecodedBytes) {
        qWarning("An image of %u × %u pixels would take more than %llu MiB: it is not made", bitmapWidth, bitmapHeight,
                 static_cast<unsigned long long>(kMaxSourceDecodedBytes >> 20));
        return false;
    }
    const bool keepsAlpha = target.alpha || target.mask;
    const bool deep = target.bitsPerComponent == 16;
    // Without alpha to keep the bitmap has none either: the picture is drawn on white from the start.
    const QImage::Format format = deep ? (keepsAlpha ? QImage::Format_RGBA64_Premultiplied : QImage::Format_RGBX64)
                                       : (keepsAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    QImage canvas(static_cast<int>(bitmapWidth), static_cast<int>(bitmapHeight), format);
    if (canvas.isNull())
        return false;
    canvas.fill(keepsAlpha ? Qt::transparent : Qt::white);
    const QImage source = Resampled(image.image(), rect);
    const QTransform orientation = GetOrientationTransform(outWidth, outHeight, m_flip, m_rotation);
    QImage mask;
    {
        QPainter context(&canvas);
        SetUpContext(context, static_cast<int>(bitmapHeight));
        context.save();
        context.setTransform(orientation, true);
        if (target.mask)
            mask = CreateAlphaMask(source, static_cast<int>(bitmapWidth), static_cast<int>(bitmapHeight), orientation, rect);
        DrawImageUpright(context, source, rect);
        context.restore();
        if (m_hasOverlay)
            DrawOverlay(context, bitmapWidth, bitmapHeight);
        if (m_hasTextStamp)
            DrawConverterTextStamp(*this, context, bitmapWidth, bitmapHeight);
    }
    WriteFittedResolution(static_cast<int>(bitmapWidth), static_cast<int>(bitmapHeight));
    if (sharpen)
        SharpenLuminance(canvas);
    const bool untouched = !sharpen && !m_hasOverlay && !m_hasTextStamp && rect == QRectF(0, 0, outWidth, outHeight)
                           && static_cast<int>(outWidth) == image.pixelsWide() && static_cast<int>(outHeight) == image.pixelsHigh()
                           && OrientationIndex(m_flip, m_rotation) == 0;
    auto finished = std::make_shared<BitmapImageRep>(untouched && target.space == ColorSpaceModel::CMYK && !target.mask
                                                         ? KeptInks(image, m_dpiX, m_dpiY)
                                                         : FinishedBitmap(std::move(canvas), target, mask, m_dpiX, m_dpiY));
    // CMYK JPEGs go through the writer like every other image: it writes the inks as they are, and with
    // them the metadata, the orientation and the file attributes.
    return WriteImage(Image::fromBitmap(std::move(finished)));
}
