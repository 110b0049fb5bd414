#include "toolkit/imageio/ImageFileReader.h"

#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/imageio/ImageReaders.h"
#include "toolkit/imageio/UprightImage.h"

#include <QFile>
#include <QFileInfo>

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
            // What the reader found itself (a PNG's text) stays beside the file's dictionaries.
            ImageMetadata own = bitmap->metadata();
            for (auto dictionary = metadata.dictionaries.constBegin(); dictionary != metadata.dictionaries.constEnd(); ++dictionary)
                own.dictionaries.insert(dictionary.key(), dictionary.value());
            own.exif = metadata.exif;
            // A reader that found an orientation itself (a TIFF page's own tag) has applied it already.
            if (metadata.orientation != 0 && own.orientation == 0)
                own.orientation = metadata.orientation;
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

std::uint32_t ImageTypeOfBytes(const QByteArray& bytes, const QString& fileName)
{
    const QString identifier = TypeIdentifierOfData(bytes, fileName);
    if (identifier == QLatin1String("com.adobe.pdf"))
        return ImageType::PDF;
    return ImageTypeFromUTI(identifier, false);
}

ImageRepList ReadImageBytes(const QByteArray& bytes, const QString& fileName)
{
    const std::uint32_t type = ImageTypeOfBytes(bytes, fileName);
    if (type != ImageType::PDF && !IsImageTypeReadable(type))
        return {};
    return ReadImageData(bytes, type);
}

ImageRepList ReadImageRepresentations(const QUrl& url)
{
    if (!url.isLocalFile())
        return {};
    QFile file(url.toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const std::uint32_t type = ImageTypeOfBytes(bytes, QFileInfo(file.fileName()).fileName());
    if (type != ImageType::PDF && !IsImageTypeReadable(type))
        return {};
    ImageRepList representations = ReadImageData(bytes, type);
    // A picture is shown upright: a photo whose Exif orientation turns it is turned here, once, so that
    // every output shows it as the camera's viewer did and any orientation written later starts from 1.
    // The TIFF reader turns each page by its own tag, and libraw turns camera raw files itself.
    if (type == ImageType::JPEG || type == ImageType::PNG) {
        for (auto& representation : representations) {
            if (const auto bitmap = std::dynamic_pointer_cast<BitmapImageRep>(representation))
                representation = UprightBitmap(bitmap);
        }
    }
    return representations;
}
