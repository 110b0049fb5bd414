#include "toolkit/pdfimages/PDFImagePixels.h"

#include <GfxState.h>
#include <lcms2.h>

#include <array>
#include <cstring>

namespace {

QByteArray ProfileBytes(const ColorProfile* profile)
{
    if (!profile)
        return {};
    cmsUInt32Number size = 0;
    if (!cmsSaveProfileToMem(profile->handle(), nullptr, &size) || size == 0)
        return {};
    QByteArray bytes(static_cast<qsizetype>(size), '\0');
    if (!cmsSaveProfileToMem(profile->handle(), bytes.data(), &size))
        return {};
    return bytes;
}

QImage PackedImage(const QByteArray& samples, int width, int height, int components, QImage::Format format)
{
    QImage image(width, height, format);
    if (image.isNull())
        return image;
    const qsizetype rowBytes = qsizetype(width) * components;
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), samples.constData() + rowBytes * y, static_cast<size_t>(rowBytes));
    return image;
}

// L* from 0 to 100 and a*, b* over the space's ranges, each from its byte.
QImage LabToRGB(const QByteArray& samples, int width, int height, const PDFColorSpace& space)
{
    // A Lab space's ranges are those of a* and b*; an ICC Lab profile's start with L*'s.
    std::vector<double> ranges = space.ranges();
    if (ranges.size() >= 6)
        ranges.erase(ranges.begin(), ranges.begin() + 2);
    if (ranges.size() < 4)
        ranges = {-100, 100, -100, 100};
    cmsHPROFILE lab = space.profile() ? space.profile()->handle() : cmsCreateLab4Profile(nullptr);
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHTRANSFORM transform = cmsCreateTransform(lab, TYPE_Lab_DBL, srgb, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
    QImage image;
    if (transform) {
        image = QImage(width, height, QImage::Format_RGB888);
        std::vector<cmsCIELab> row(static_cast<size_t>(width));
        const auto* in = reinterpret_cast<const uchar*>(samples.constData());
        for (int y = 0; y < height && !image.isNull(); ++y) {
            for (int x = 0; x < width; ++x, in += 3) {
                row[static_cast<size_t>(x)].L = in[0] * 100.0 / 255.0;
                row[static_cast<size_t>(x)].a = ranges[0] + in[1] * (ranges[1] - ranges[0]) / 255.0;
                row[static_cast<size_t>(x)].b = ranges[2] + in[2] * (ranges[3] - ranges[2]) / 255.0;
            }
            cmsDoTransform(transform, row.data(), image.scanLine(y), static_cast<cmsUInt32Number>(width));
        }
        cmsDeleteTransform(transform);
    }
    cmsCloseProfile(srgb);
    if (!space.profile())
        cmsCloseProfile(lab);
    return image;
}

// A gray profile with sRGB's white and tone curve: gray samples of a profiled space stay gray.
cmsHPROFILE CreateSGrayProfile()
{
    const std::array<cmsFloat64Number, 5> srgbCurve{2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
    cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgbCurve.data());
    if (!curve)
        return nullptr;
    cmsHPROFILE gray = cmsCreateGrayProfile(cmsD50_xyY(), curve);
    cmsFreeToneCurve(curve);
    return gray;
}

// The samples of a calibrated or ICC space in sRGB terms (gray ones in sRGB's tone curve), as the
// rendered page shows them; null when lcms2 cannot convert them.
QImage ProfiledToSRGB(const QByteArray& samples, int width, int height, const PDFColorSpace& space)
{
    const PDFColorSpace::Model model = space.model();
    const bool gray = model == PDFColorSpace::Model::Gray;
    const int components = space.componentCount();
    const cmsUInt32Number inputFormat = gray ? TYPE_GRAY_8 : model == PDFColorSpace::Model::CMYK ? TYPE_CMYK_8
                                                                                                 : TYPE_RGB_8;
    cmsHPROFILE output = gray ? CreateSGrayProfile() : cmsCreate_sRGBProfile();
    if (!output)
        return {};
    cmsHTRANSFORM transform = cmsCreateTransform(space.profile()->handle(), inputFormat, output,
                                                 gray ? TYPE_GRAY_8 : TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC, 0);
    cmsCloseProfile(output);
    if (!transform)
        return {};
    QImage image(width, height, gray ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    const qsizetype rowBytes = qsizetype(width) * components;
    for (int y = 0; y < height && !image.isNull(); ++y)
        cmsDoTransform(transform, samples.constData() + rowBytes * y, image.scanLine(y), static_cast<cmsUInt32Number>(width));
    cmsDeleteTransform(transform);
    return image;
}

// Device CMYK inks shown as the PDF library's renderer shows them, so that an extracted picture
// looks like the page it came from.
QImage DeviceCMYKToRGB(const QByteArray& inks, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    if (image.isNull())
        return image;
    GfxDeviceCMYKColorSpace cmyk;
    QByteArray row(qsizetype(width) * 4, Qt::Uninitialized);
    for (int y = 0; y < height; ++y) {
        std::memcpy(row.data(), inks.constData() + row.size() * y, static_cast<size_t>(row.size()));
        cmyk.getRGBLine(reinterpret_cast<unsigned char*>(row.data()), image.scanLine(y), width);
    }
    return image;
}

} // namespace

std::shared_ptr<BitmapImageRep> MakeBitmapFromSamples(const QByteArray& samples, int width, int height,
                                                      const PDFColorSpace& colorSpace)
{
    const int components = colorSpace.componentCount();
    if (width <= 0 || height <= 0 || components <= 0
        || samples.size() < qsizetype(width) * height * components)
        return nullptr;
    BitmapImageRep::Description description;
    // The profiled spaces' samples become sRGB here: the profile would no longer describe them.
    const bool profiled = colorSpace.profile() && colorSpace.model() != PDFColorSpace::Model::Lab
                          && colorSpace.model() != PDFColorSpace::Model::Indexed;
    if (profiled) {
        QImage image = ProfiledToSRGB(samples, width, height, colorSpace);
        if (!image.isNull() && colorSpace.model() == PDFColorSpace::Model::Gray)
            description.colorSpace = ColorSpaceModel::Grey;
        if (!image.isNull() && colorSpace.model() == PDFColorSpace::Model::CMYK) {
            // The inks stay for outputs that keep CMYK.
            description.colorSpace = ColorSpaceModel::CMYK;
            return std::make_shared<BitmapImageRep>(std::move(image), samples.left(qsizetype(width) * height * 4),
                                                    description);
        }
        if (!image.isNull())
            return std::make_shared<BitmapImageRep>(std::move(image), description);
        description.iccProfile = ProfileBytes(colorSpace.profile());
    }
    switch (colorSpace.model()) {
    case PDFColorSpace::Model::Gray: {
        description.colorSpace = ColorSpaceModel::Grey;
        QImage image = PackedImage(samples, width, height, 1, QImage::Format_Grayscale8);
        return image.isNull() ? nullptr : std::make_shared<BitmapImageRep>(std::move(image), description);
    }
    case PDFColorSpace::Model::RGB: {
        QImage image = PackedImage(samples, width, height, 3, QImage::Format_RGB888);
        return image.isNull() ? nullptr : std::make_shared<BitmapImageRep>(std::move(image), description);
    }
    case PDFColorSpace::Model::CMYK: {
        description.colorSpace = ColorSpaceModel::CMYK;
        const QByteArray inks = samples.left(qsizetype(width) * height * 4);
        QImage image = DeviceCMYKToRGB(inks, width, height);
        return image.isNull() ? nullptr : std::make_shared<BitmapImageRep>(std::move(image), inks, description);
    }
    case PDFColorSpace::Model::Lab: {
        description.iccProfile.clear();
        QImage image = LabToRGB(samples, width, height, colorSpace);
        return image.isNull() ? nullptr : std::make_shared<BitmapImageRep>(std::move(image), description);
    }
    case PDFColorSpace::Model::Indexed:
        break;
    }
    return nullptr;
}
