#include "toolkit/imageio/ImageReaders.h"

// exiv2 0.27 hands images out in std::auto_ptr, which the standard library only keeps as deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

#include <mutex>

namespace {

void silenceLibrary()
{
    static std::once_flag silenced;
    std::call_once(silenced, [] { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); });
}

// The dictionary an Exif tag belongs to: the main image's tags, the camera's, the position's.
QString dictionaryOfExifGroup(const std::string& group)
{
    if (group == "Image")
        return QStringLiteral("{TIFF}");
    if (group == "Photo" || group == "Iop")
        return QStringLiteral("{Exif}");
    if (group == "GPSInfo")
        return QStringLiteral("{GPS}");
    return {};
}

// A JPEG's Exif block as the file holds it: maker notes point into it by offsets that only the
// original block keeps right.
QByteArray jpegExifBlock(const QByteArray& bytes)
{
    if (!bytes.startsWith("\xFF\xD8"))
        return {};
    qsizetype at = 2;
    while (at + 4 <= bytes.size() && static_cast<unsigned char>(bytes[at]) == 0xFF) {
        const auto marker = static_cast<unsigned char>(bytes[at + 1]);
        if (marker == 0xDA || marker == 0xD9)
            break;
        const qsizetype length = (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
        if (length < 2 || at + 2 + length > bytes.size())
            break;
        if (marker == 0xE1 && length > 8 && bytes.mid(at + 4, 6) == QByteArray("Exif\0\0", 6))
            return bytes.mid(at + 10, length - 8);
        at += 2 + length;
    }
    return {};
}

void readInto(Exiv2::Image& image, ImageMetadata& metadata)
{
    for (const auto& datum : image.exifData()) {
        const QString dictionary = dictionaryOfExifGroup(datum.groupName());
        if (dictionary.isEmpty())
            continue;
        metadata.dictionaries[dictionary].insert(QString::fromStdString(datum.tagName()), QString::fromStdString(datum.toString()));
        if (datum.key() == "Exif.Image.Orientation" && datum.count() > 0) {
            const long orientation = datum.toLong();
            if (orientation >= 1 && orientation <= 8)
                metadata.orientation = static_cast<int>(orientation);
        }
    }
    for (const auto& datum : image.iptcData())
        metadata.dictionaries[QStringLiteral("{IPTC}")].insert(QString::fromStdString(datum.tagName()), QString::fromStdString(datum.toString()));
    // The block as a whole, for what the dictionaries leave out: the camera makers' own notes.
    if (!image.exifData().empty() && metadata.exif.isEmpty()) {
        try {
            Exiv2::Blob blob;
            Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, image.exifData());
            metadata.exif = QByteArray(reinterpret_cast<const char*>(blob.data()), static_cast<qsizetype>(blob.size()));
        } catch (const std::exception&) {
        }
    }
    for (const auto& datum : image.xmpData())
        metadata.dictionaries[QStringLiteral("{XMP}")].insert(QString::fromStdString(datum.key()), QString::fromStdString(datum.toString()));
}

// A rational tag of Exif's main image as a positive number; 0 when it is missing or makes no sense.
double positiveRational(const Exiv2::ExifData& exif, const char* key)
{
    const auto datum = exif.findKey(Exiv2::ExifKey(key));
    if (datum == exif.end() || datum->count() == 0)
        return 0;
    // A value of the wrong type (a string, which some writers put there) is read as nothing, not as
    // whatever number its bytes make.
    const Exiv2::TypeId type = datum->typeId();
    if (type != Exiv2::unsignedRational && type != Exiv2::signedRational && type != Exiv2::unsignedShort
        && type != Exiv2::unsignedLong)
        return 0;
    const Exiv2::Rational value = datum->toRational();
    if (value.first <= 0 || value.second <= 0)
        return 0;
    return static_cast<double>(value.first) / value.second;
}

} // namespace

ExifResolution ReadExifResolution(const QByteArray& bytes)
{
    if (bytes.size() < 8)
        return {};
    silenceLibrary();
    try {
        auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(bytes.constData()), static_cast<long>(bytes.size()));
        if (!image.get())
            return {};
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        double x = positiveRational(exif, "Exif.Image.XResolution");
        double y = positiveRational(exif, "Exif.Image.YResolution");
        if (x <= 0 || y <= 0)
            return {};
        long unit = 2; // inches, when the file does not say
        const auto unitDatum = exif.findKey(Exiv2::ExifKey("Exif.Image.ResolutionUnit"));
        if (unitDatum != exif.end() && unitDatum->count() > 0)
            unit = unitDatum->toLong();
        if (unit == 3) {
            x *= 2.54;
            y *= 2.54;
        } else if (unit != 2) {
            return {}; // no unit: only an aspect ratio
        }
        return {x, y};
    } catch (const std::exception&) {
        return {};
    }
}

ImageMetadata ReadImageMetadata(const QByteArray& bytes)
{
    ImageMetadata metadata;
    if (bytes.size() < 8)
        return metadata;
    silenceLibrary();
    try {
        auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(bytes.constData()), static_cast<long>(bytes.size()));
        if (!image.get())
            return metadata;
        image->readMetadata();
        metadata.exif = jpegExifBlock(bytes);
        readInto(*image, metadata);
    } catch (const std::exception&) {
        // A file whose metadata cannot be read keeps its pixels; it simply has no dictionaries.
        return ImageMetadata{};
    }
    return metadata;
}
#pragma GCC diagnostic pop
