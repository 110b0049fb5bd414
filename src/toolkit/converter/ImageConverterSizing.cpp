#include "toolkit/converter/ImageConverter.h"

#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/helpers/OrientationTransform.h"
#include "toolkit/helpers/UnitConversion.h"

#include <algorithm>
#include <cmath>

namespace {

// Nearest integer, halves to even, as the sizes are rounded.
double RoundEven(double value)
{
    return std::nearbyint(value);
}

unsigned WholePixels(double value)
{
    return value > 0 ? static_cast<unsigned>(value) : 0U;
}

// A side that is asked for at all is at least one pixel: half of a one-pixel line is a one-pixel line.
double AtLeastOnePixel(double value)
{
    return value > 0 ? std::max(1.0, value) : value;
}

struct OutputGeometry {
    unsigned width = 0;
    unsigned height = 0;
    QRectF rect;
};

OutputGeometry CropGeometry(double pixW, double pixH, double W, double H)
{
    OutputGeometry g;
    g.width = WholePixels(AtLeastOnePixel(std::min(pixW, W)));
    g.height = WholePixels(AtLeastOnePixel(std::min(pixH, H)));
    g.rect = QRectF(-RoundEven((pixW - g.width) / 2.0), -RoundEven((pixH - g.height) / 2.0), pixW, pixH);
    return g;
}

OutputGeometry StretchGeometry(double pixW, double pixH, double W, double H, bool enlarge)
{
    OutputGeometry g;
    const bool fits = enlarge || !(W > pixW || H > pixH);
    g.width = WholePixels(AtLeastOnePixel(fits ? W : pixW));
    g.height = WholePixels(AtLeastOnePixel(fits ? H : pixH));
    g.rect = QRectF(0, 0, g.width, g.height);
    return g;
}

double AspectScale(std::uint32_t mode, double pixW, double pixH, double W, double H)
{
    if (pixW <= 0 || pixH <= 0)
        return 0;
    if (mode == ImageFitMode::FillBox || mode == ImageFitMode::FillAndCrop)
        return RoundEven(pixH * W / pixW) < H ? H / pixH : W / pixW;
    if (mode == ImageFitMode::FitInside)
        return RoundEven(pixH * W / pixW) > H ? H / pixH : W / pixW;
    if (H == 0 && W > 0)
        return W / pixW;
    if (W == 0 && H > 0)
        return H / pixH;
    return 0;
}

OutputGeometry AspectGeometry(std::uint32_t mode, double pixW, double pixH, double W, double H, bool enlarge)
{
    OutputGeometry g;
    const double s = AspectScale(mode, pixW, pixH, W, H);
    const double tw = s > 0 ? std::max(1.0, RoundEven(pixW * s)) : 0.0;
    const double th = s > 0 ? std::max(1.0, RoundEven(s * pixH)) : 0.0;
    if (!enlarge && (tw > pixW || th > pixH)) {
        g.width = WholePixels(pixW);
        g.height = WholePixels(pixH);
        g.rect = QRectF(0, 0, pixW, pixH);
    } else if (mode == ImageFitMode::FillAndCrop) {
        g.width = WholePixels(tw > W ? W : tw);
        g.height = WholePixels(th > H ? H : th);
        g.rect = QRectF(tw > W ? -RoundEven((tw - W) / 2.0) : 0, th > H ? -RoundEven((th - H) / 2.0) : 0, tw, th);
    } else {
        g.width = WholePixels(tw);
        g.height = WholePixels(th);
        g.rect = QRectF(0, 0, tw, th);
    }
    return g;
}

} // namespace

// The resolution from the record, then the target in pixels for units other than percent.
static void TargetFromRecord(ImageConverter& converter, const ImageSizeOptions& size, double& W, double& H)
{
    if (size.dpi < 1) {
        converter.m_dpiX = converter.SourceDPIX();
        converter.m_dpiY = converter.SourceDPIY();
    } else {
        converter.m_dpiX = converter.m_dpiY = static_cast<double>(size.dpi);
    }
    if (size.unit == LengthUnit::Percent) {
        W = size.width / 100.0 * converter.PixelWidth();
        H = size.height / 100.0 * converter.PixelHeight();
    } else if (size.unit == LengthUnit::Pixels) {
        W = size.width;
        H = size.height;
    } else {
        const double widthPoints = size.unit == LengthUnit::Points ? size.width : UnitToPoints(size.unit, size.width);
        const double heightPoints = size.unit == LengthUnit::Points ? size.height : UnitToPoints(size.unit, size.height);
        W = widthPoints * converter.m_dpiX / 72.0;
        H = heightPoints * converter.m_dpiY / 72.0;
    }
}

bool ImageConverter::ConvertWithSize(ImageSizeOptions size)
{
    double W = 0;
    double H = 0;
    TargetFromRecord(*this, size, W, H);
    return ConvertRepresentations(size, W, H);
}

void ImageConverter::RefreshSizeForRepresentation(double& width, double& height, ImageSizeOptions& size)
{
    if (m_sizeHook)
        m_sizeHook(*this, size, m_sizeHookContext);
    if (size.unit == LengthUnit::Percent) {
        width = size.width / 100.0 * PixelWidth();
        height = size.height / 100.0 * PixelHeight();
        return;
    }
    TargetFromRecord(*this, size, width, height);
}

// Without resampling the target sets only the resolution: the one at which the pixels print at the size
// asked for. The target is in pixels at the current resolution, so the resolution scales by the pixels
// there are over the pixels asked for, whatever the source's own resolution. With neither side given the
// image keeps its own.
bool ImageConverter::WriteAtAskedSize(const std::shared_ptr<BitmapImageRep>& bitmap, double pixW, double pixH, double width,
                                      double height)
{
    double factor = 0;
    if (width == 0 && height > 0)
        factor = pixH / height;
    else if (width > 0)
        factor = pixW / width;
    if (factor > 0) {
        m_dpiX = (m_dpiX > 0 ? m_dpiX : 72.0) * factor;
        m_dpiY = (m_dpiY > 0 ? m_dpiY : 72.0) * factor;
    }
    ResolveOutputType();
    // A turn or a mirror asked for is drawn, as a stamp, an overlay or a colour model is.
    const bool plain = !m_hasTextStamp && !m_hasOverlay && m_outputType != ImageType::CMYKTIFF && m_colorModel == 0
                       && OrientationIndex(m_flip, m_rotation) == 0;
    if (plain)
        return WriteImage(Image::fromBitmap(bitmap));
    return RenderImage(*bitmap, WholePixels(pixW), WholePixels(pixH), false, QRectF(0, 0, pixW, pixH));
}

bool ImageConverter::ConvertRepresentations(ImageSizeOptions& size, double width, double height)
{
    if (!m_image)
        return false;
    const ImageRepList list = m_image->representations();
    if (list.empty())
        return false;
    const std::size_t count = m_dataSink ? list.size() : 1;
    bool result = false;
    for (std::size_t i = 0; i < count; ++i) {
        if (count > 1 && i > 0) {
            if (i < m_representations.size())
                m_currentRep = m_representations[i];
            RefreshSizeForRepresentation(width, height, size);
        }
        const double pixW = PixelWidth();
        const double pixH = PixelHeight();
        auto bitmap = std::dynamic_pointer_cast<BitmapImageRep>(list[i]);
        if (!bitmap)
            bitmap = m_image->makeBitmapRepresentation();
        if (!bitmap || bitmap->image().isNull())
            continue;
        if (size.resize != 1) {
            result = WriteAtAskedSize(bitmap, pixW, pixH, width, height);
            continue;
        }
        OutputGeometry g;
        if (!size.keepAspectRatio && size.fitMode == ImageFitMode::CropToBox)
            g = CropGeometry(pixW, pixH, width, height);
        else if (!size.keepAspectRatio)
            g = StretchGeometry(pixW, pixH, width, height, size.allowEnlarge != 0);
        else
            g = AspectGeometry(size.fitMode, pixW, pixH, width, height, size.allowEnlarge != 0);
        result = RenderImage(*bitmap, g.width, g.height, size.sharpen != 0, g.rect);
    }
    return result;
}
