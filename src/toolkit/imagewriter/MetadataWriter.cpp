#include "toolkit/imagewriter/ImageEncoder.h"

// exiv2 0.27 hands images out in std::auto_ptr, which the standard library only keeps as deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

#include <mutex>

namespace {

// Of the main image's tags only the descriptive ones travel: the structural ones (sizes, strips,
// compression, resolution) describe the source's pixels, and written into a TIFF they would corrupt it.
bool IsDescriptiveImageTag(const QString& tag)
{
    static const char* const kTags[] = {"Make", "Model", "Software", "DateTime", "Artist", "Copyright",
                                        "ImageDescription", "HostComputer", "DocumentName"};
    for (const char* name : kTags) {
        if (tag == QLatin1String(name))
            return true;
    }
    return false;
}

// Sets one tag from its text; a tag exiv2 does not know or a value it cannot parse is left out.
template <typename Data>
void SetTag(Data& data, const std::string& key, const QVariant& value)
{
    try {
        data[key] = value.toString().toStdString();
    } catch (const std::exception&) {
    }
}

// The source's whole Exif block, maker notes included, less what describes the source's own pixels
// (the main image's structural tags and the thumbnail, which the writer's image does not have).
void FillExifBlock(Exiv2::ExifData& exif, const QByteArray& block)
{
    if (block.isEmpty())
        return;
    Exiv2::ExifData source;
    try {
        Exiv2::ExifParser::decode(source, reinterpret_cast<const Exiv2::byte*>(block.constData()),
                                  static_cast<uint32_t>(block.size()));
    } catch (const std::exception&) {
        return;
    }
    for (const auto& datum : source) {
        const std::string group = datum.groupName();
        // The maker note's place in the source block is the source's: the writer finds a new one.
        if (group == "Thumbnail" || group == "SubImage1" || group == "SubImage2" || group == "Image2" || group == "MakerNote")
            continue;
        if (group == "Image" && !IsDescriptiveImageTag(QString::fromStdString(datum.tagName())))
            continue;
        if (datum.key() == "Exif.Photo.MakerNote") // rebuilt from its tags, at its new place
            continue;
        try {
            exif.add(datum);
        } catch (const std::exception&) {
        }
    }
}

void FillExif(Exiv2::ExifData& exif, const ImageMetadata& metadata)
{
    if (exif.empty())
        FillExifBlock(exif, metadata.exif);
    const auto copy = [&](const QString& dictionary, const char* group, bool descriptiveOnly) {
        const auto found = metadata.dictionaries.constFind(dictionary);
        if (found == metadata.dictionaries.constEnd())
            return;
        for (auto tag = found->constBegin(); tag != found->constEnd(); ++tag) {
            if (descriptiveOnly && !IsDescriptiveImageTag(tag.key()))
                continue;
            // A maker note's bytes point into the block they came in; its tags travel in the whole block.
            if (tag.key() == QLatin1String("MakerNote"))
                continue;
            SetTag(exif, std::string("Exif.") + group + "." + tag.key().toStdString(), tag.value());
        }
    };
    copy(QStringLiteral("{TIFF}"), "Image", true);
    copy(QStringLiteral("{Exif}"), "Photo", false);
    copy(QStringLiteral("{GPS}"), "GPSInfo", false);
}

void FillIptcAndXmp(Exiv2::Image& image, const ImageMetadata& metadata)
{
    const auto iptc = metadata.dictionaries.constFind(QStringLiteral("{IPTC}"));
    if (iptc != metadata.dictionaries.constEnd()) {
        for (auto tag = iptc->constBegin(); tag != iptc->constEnd(); ++tag)
            SetTag(image.iptcData(), "Iptc.Application2." + tag.key().toStdString(), tag.value());
    }
    const auto xmp = metadata.dictionaries.constFind(QStringLiteral("{XMP}"));
    if (xmp != metadata.dictionaries.constEnd()) {
        for (auto tag = xmp->constBegin(); tag != xmp->constEnd(); ++tag)
            SetTag(image.xmpData(), tag.key().toStdString(), tag.value());
    }
}

} // namespace

bool WriteMetadataInto(QByteArray& encoded, const ImageMetadata& metadata, int orientation, const QByteArray& icc)
{
    static std::once_flag silenced;
    std::call_once(silenced, [] { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); });
    try {
        auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(encoded.constData()),
                                               static_cast<long>(encoded.size()));
        if (!image.get())
            return false;
        image->readMetadata();
        FillExif(image->exifData(), metadata);
        if (orientation >= 1 && orientation <= 8)
            image->exifData()["Exif.Image.Orientation"] = static_cast<uint16_t>(orientation);
        FillIptcAndXmp(*image, metadata);
        if (!icc.isEmpty() && image->iccProfile()->size_ == 0) {
            Exiv2::DataBuf profile(reinterpret_cast<const Exiv2::byte*>(icc.constData()), static_cast<long>(icc.size()));
            image->setIccProfile(profile, false);
        }
        image->writeMetadata();
        Exiv2::BasicIo& io = image->io();
        if (io.open() != 0)
            return false;
        const long size = io.size();
        Exiv2::DataBuf buffer = io.read(size);
        io.close();
        if (buffer.size_ != size || size <= 0)
            return false;
        encoded = QByteArray(reinterpret_cast<const char*>(buffer.pData_), size);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
#pragma GCC diagnostic pop
