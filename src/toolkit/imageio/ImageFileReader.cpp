#include "toolkit/imageio/ImageFileReader.h"

#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/imageio/ImageReaders.h"

#include <QFile>

namespace {

// The dictionaries belong to the file: each representation carries them.
void attachMetadata(const ImageRepList& representations, const QByteArray& bytes)
{
    if (representations.empty())
        return;
    const ImageMetadata metadata = ReadImageMetadata(bytes);
    if (metadata.isEmpty())
        return;
    for (const auto& representation : representations) {
        if (const auto bitmap = std::dynamic_pointer_cast<BitmapImageRep>(representation)) {
            ImageMetadata own = metadata;
            if (own.orientation == 0)
                own.orientation = bitmap->metadata().orientation;
            bitmap->setMetadata(std::move(own));
        }
    }
}

} // namespace

ImageRepList ReadImageData(const QByteArray& bytes, std::uint32_t imageType)
{
    ImageRepList representations;
    switch (imageType) {
    case ImageType::JPEG:
        representations = ReadJPEGRepresentations(bytes);
        break;
    case ImageType::TIFF:
        representations = ReadTIFFRepresentations(bytes);
        break;
    case ImageType::PNG:
        representations = ReadQtRepresentations(bytes, "png");
        break;
    case ImageType::GIF:
        return ReadQtRepresentations(bytes, "gif"); // GIF carries no metadata dictionaries
    case ImageType::JPEG2000:
        return ReadJPEG2000Representations(bytes);
    case ImageType::BMP:
        return ReadQtRepresentations(bytes, "bmp");
    case ImageType::Photoshop:
        representations = ReadPhotoshopRepresentations(bytes);
        break;
    case ImageType::OpenEXR:
        return ReadOpenEXRRepresentations(bytes);
    case ImageType::TGA:
        return ReadTGARepresentations(bytes);
    case ImageType::AppleIcon:
        return ReadQtRepresentations(bytes, "icns");
    case ImageType::WindowsIcon:
        return ReadQtRepresentations(bytes, "ico");
    case ImageType::XBitmap:
        return ReadQtRepresentations(bytes, "xbm");
    case ImageType::SGI:
        return ReadSGIRepresentations(bytes);
    case ImageType::Fax:
        return ReadFaxRepresentations(bytes);
    case ImageType::MacPaint:
        return ReadMacPaintRepresentations(bytes);
    case ImageType::CameraRaw:
        representations = ReadCameraRawRepresentations(bytes);
        break;
    case ImageType::PDF:
        return ReadPDFRepresentations(bytes);
    default:
        return {};
    }
    attachMetadata(representations, bytes);
    return representations;
}

ImageRepList ReadImageRepresentations(const QUrl& url)
{
    const QString identifier = TypeIdentifierOfURL(url);
    std::uint32_t type = ImageType::None;
    if (identifier == QLatin1String("com.adobe.pdf"))
        type = ImageType::PDF;
    else
        type = ImageTypeFromUTI(identifier, false);
    if (type != ImageType::PDF && !IsImageTypeReadable(type))
        return {};
    QFile file(url.toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ReadImageData(file.readAll(), type);
}
