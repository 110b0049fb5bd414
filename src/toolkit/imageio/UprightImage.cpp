#include "toolkit/imageio/UprightImage.h"

#include <QTransform>

#include <algorithm>

namespace {

// Any four-byte pixels turned as the orientation says: Qt's turns of whole quarter circles move the
// pixels as they are, so CMYK inks held as four-byte pixels come through untouched.
QImage Turned(const QImage& image, int orientation)
{
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5:
        return image.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6:
        return image.transformed(QTransform().rotate(90));
    case 7:
        return image.transformed(QTransform().rotate(90)).mirrored(false, true);
    case 8:
        return image.transformed(QTransform().rotate(270));
    default:
        return image;
    }
}

QByteArray TurnedInks(const QByteArray& inks, int width, int height, int orientation)
{
    if (inks.size() != static_cast<qsizetype>(width) * height * 4)
        return {};
    const QImage samples(reinterpret_cast<const uchar*>(inks.constData()), width, height, width * 4,
                         QImage::Format_RGBA8888);
    const QImage turned = Turned(samples, orientation);
    QByteArray out(static_cast<qsizetype>(turned.width()) * turned.height() * 4, Qt::Uninitialized);
    const qsizetype rowBytes = static_cast<qsizetype>(turned.width()) * 4;
    for (int y = 0; y < turned.height(); ++y)
        std::copy_n(turned.constScanLine(y), rowBytes, out.data() + rowBytes * y);
    return out;
}

} // namespace

std::shared_ptr<BitmapImageRep> UprightBitmap(const std::shared_ptr<BitmapImageRep>& bitmap)
{
    const int orientation = bitmap ? bitmap->metadata().orientation : 0;
    if (orientation < 2 || orientation > 8)
        return bitmap;
    const bool sideways = orientation >= 5;
    BitmapImageRep::Description description;
    description.colorSpace = bitmap->colorSpace();
    description.bitsPerComponent = bitmap->bitsPerComponent();
    description.alphaKind = bitmap->alphaKind();
    description.dpiX = sideways ? bitmap->dpiY() : bitmap->dpiX();
    description.dpiY = sideways ? bitmap->dpiX() : bitmap->dpiY();
    description.iccProfile = bitmap->iccProfile();
    description.metadata = bitmap->metadata();
    description.metadata.orientation = 1;
    QImage pixels = Turned(bitmap->image(), orientation);
    if (pixels.isNull())
        return bitmap;
    QByteArray inks = TurnedInks(bitmap->cmykSamples(), bitmap->pixelsWide(), bitmap->pixelsHigh(), orientation);
    return std::make_shared<BitmapImageRep>(std::move(pixels), std::move(inks), std::move(description));
}
