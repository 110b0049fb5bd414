#include "toolkit/helpers/ImageTypeCodes.h"

#include <QFileInfo>
#include <QMimeDatabase>

#include <array>
#include <utility>

namespace {

struct ImageTypeEntry {
    std::uint32_t code;
    const char* identifier;
};

// The order of comparison: the first ten, then the rest.
constexpr std::array<ImageTypeEntry, 10> kFirstTen{{
    {ImageType::JPEG, "public.jpeg"},
    {ImageType::TIFF, "public.tiff"},
    {ImageType::PNG, "public.png"},
    {ImageType::GIF, "com.compuserve.gif"},
    {ImageType::JPEG2000, "public.jpeg-2000"},
    {ImageType::BMP, "com.microsoft.bmp"},
    {ImageType::Photoshop, "com.adobe.photoshop-image"},
    {ImageType::OpenEXR, "com.ilm.openexr-image"},
    {ImageType::TGA, "com.truevision.tga-image"},
    {ImageType::AppleIcon, "com.apple.icns"},
}};

constexpr std::array<ImageTypeEntry, 10> kTheRest{{
    {ImageType::SGI, "com.sgi.sgi-image"},
    {ImageType::CameraRaw, "public.camera-raw-image"},
    {ImageType::PICT, "com.apple.pict"},
    {ImageType::MacPaint, "com.apple.macpaint-image"},
    {ImageType::XBitmap, "public.xbitmap-image"},
    {ImageType::QuickTimeImage, "com.apple.quicktime-image"},
    {ImageType::Fax, "public.fax"},
    {ImageType::FlashPix, "com.kodak.flashpix.image"},
    {ImageType::Illustrator, "com.adobe.illustrator.ai-image"},
    {ImageType::WindowsIcon, "com.microsoft.ico"},
}};

struct DocumentTypeEntry {
    std::uint32_t code;
    const char* identifier;
};

constexpr DocumentTypeEntry kDocumentTypes[] = {
    {1, "public.rtf"},
    {2, "com.apple.rtfd"},
    {3, "public.html"},
    {4, "public.text"},
    {5, "public.plain-text"},
    {5, "com.apple.log"},
    {5, "com.apple.crashreport"},
    {5, "com.apple.panicreport"},
    {5, "com.apple.hangreport"},
    {5, "com.apple.spinreport"},
    {5, "com.apple.aslquery"},
    {6, "com.apple.webarchive"},
    {7, "org.oasis-open.opendocument.text"},
    {7, "org.oasis.opendocument.text"},
    {7, "org.oasis-open.opendocument"},
    {8, "org.oasis-open.opendocument.text-template"},
    {9, "org.openoffice.text"},
    {10, "org.openoffice.text-template"},
    {11, "org.openxmlformats.wordprocessingml.document"},
    {11, "org.openxmlformats.wordprocessingml.document.macroenabled"},
    {12, "com.microsoft.word.wordml"},
    {13, "com.microsoft.word.doc"},
    {14, "com.apple.traditional-mac-plain-text"},
    {16, "com.apple.keynote.key"},
    {16, "com.apple.iWork.Keynote.key"},
    {17, "com.microsoft.powerpoint.ppt"},
    {18, "com.microsoft.excel.xls"},
    {19, "org.oasis-open.opendocument.graphics"},
    {20, "org.oasis-open.opendocument.graphics-template"},
    {21, "org.oasis-open.opendocument.presentation"},
    {22, "org.oasis-open.opendocument.presentation-template"},
    {23, "org.oasis-open.opendocument.spreadsheet"},
    {24, "org.oasis-open.opendocument.spreadsheet-template"},
    {25, "org.oasis-open.opendocument.chart"},
    {26, "org.oasis-open.opendocument.chart-template"},
    {27, "org.oasis-open.opendocument.image"},
    {28, "org.oasis-open.opendocument.image-template"},
    {29, "org.oasis-open.opendocument.formula"},
    {30, "org.oasis-open.opendocument.formula-template"},
    {31, "org.oasis-open.opendocument.text-master"},
    {32, "org.oasis-open.opendocument.text-web"},
    {33, "org.openxmlformats.wordprocessingml.template"},
    {33, "org.openxmlformats.wordprocessingml.template.macroenabled"},
    {33, "org.openxmlformats.spreadsheetml.template"},
    {33, "org.openxmlformats.spreadsheetml.template.macroenabled"},
    {34, "org.openxmlformats.spreadsheetml.sheet"},
    {34, "org.openxmlformats.spreadsheetml.sheet.macroenabled"},
    {36, "org.openxmlformats.presentationml.presentation"},
    {36, "org.openxmlformats.presentationml.presentation.macroenabled"},
    {36, "org.openxmlformats.presentationml.slideshow"},
    {36, "org.openxmlformats.presentationml.slideshow.macroenabled"},
    {37, "org.openxmlformats.presentationml.template"},
    {37, "org.openxmlformats.presentationml.template.macroenabled"},
};

// MIME types of the shared MIME database and the identifiers they stand for.
constexpr std::pair<const char*, const char*> kMimeIdentifiers[] = {
    {"image/jpeg", "public.jpeg"},
    {"image/tiff", "public.tiff"},
    {"image/x-tiff-multipage", "public.tiff"},
    {"image/png", "public.png"},
    {"image/gif", "com.compuserve.gif"},
    {"image/jp2", "public.jpeg-2000"},
    {"image/jpx", "public.jpeg-2000"},
    {"image/jpm", "public.jpeg-2000"},
    {"image/x-jp2-codestream", "public.jpeg-2000"},
    {"image/bmp", "com.microsoft.bmp"},
    {"image/vnd.adobe.photoshop", "com.adobe.photoshop-image"},
    {"image/x-exr", "com.ilm.openexr-image"},
    {"image/x-tga", "com.truevision.tga-image"},
    {"image/x-icns", "com.apple.icns"},
    {"image/x-sgi", "com.sgi.sgi-image"},
    {"image/x-dcraw", "public.camera-raw-image"},
    {"image/x-pict", "com.apple.pict"},
    {"image/x-macpaint", "com.apple.macpaint-image"},
    {"image/x-xbitmap", "public.xbitmap-image"},
    {"image/x-quicktime", "com.apple.quicktime-image"},
    {"image/g3fax", "public.fax"},
    {"image/x-fpx", "com.kodak.flashpix.image"},
    {"application/illustrator", "com.adobe.illustrator.ai-image"},
    {"image/vnd.microsoft.icon", "com.microsoft.ico"},
    {"image/webp", "org.webmproject.webp"},
    {"application/pdf", "com.adobe.pdf"},
    {"text/rtf", "public.rtf"},
    {"text/html", "public.html"},
    {"text/plain", "public.plain-text"},
    {"application/vnd.oasis.opendocument.text", "org.oasis-open.opendocument.text"},
    {"application/vnd.oasis.opendocument.text-template", "org.oasis-open.opendocument.text-template"},
    {"application/vnd.openxmlformats-officedocument.wordprocessingml.document",
     "org.openxmlformats.wordprocessingml.document"},
    {"application/msword", "com.microsoft.word.doc"},
};

QString identifierOfMimeType(const QMimeType& type)
{
    for (const auto& [mime, identifier] : kMimeIdentifiers) {
        if (type.name() == QLatin1String(mime))
            return QString::fromLatin1(identifier);
    }
    // Sub-classes: every camera's raw format inherits the raw type (some also inherit TIFF, whose
    // structure they borrow, but they are raw files first).
    if (type.inherits(QStringLiteral("image/x-dcraw")))
        return QStringLiteral("public.camera-raw-image");
    for (const auto& [mime, identifier] : kMimeIdentifiers) {
        if (type.inherits(QLatin1String(mime)))
            return QString::fromLatin1(identifier);
    }
    return {};
}

} // namespace

QString ImageReadIdentifier(std::uint32_t code)
{
    for (const auto& entry : kFirstTen) {
        if (entry.code == code)
            return QString::fromLatin1(entry.identifier);
    }
    for (const auto& entry : kTheRest) {
        if (entry.code == code)
            return QString::fromLatin1(entry.identifier);
    }
    return {};
}

QString ImageWriteIdentifier(std::uint32_t code)
{
    switch (code) {
    case ImageType::PDF:
        return QStringLiteral("com.adobe.pdf");
    case ImageType::CMYKTIFF:
    case ImageType::MultiPageTIFF:
        return QStringLiteral("public.tiff");
    case ImageType::None:
        return QStringLiteral("public.jpeg");
    case ImageType::Illustrator:
    case ImageType::WindowsIcon:
    case ImageType::WebP:
        return {};
    default:
        break;
    }
    const QString identifier = ImageReadIdentifier(code);
    return identifier.isEmpty() ? QStringLiteral("public.jpeg") : identifier;
}

bool IsImageTypeReadable(std::uint32_t code)
{
    switch (code) {
    case ImageType::Photoshop:
    case ImageType::GIF:
    case ImageType::JPEG2000:
    case ImageType::JPEG:
    case ImageType::OpenEXR:
    case ImageType::AppleIcon:
    case ImageType::PNG:
    case ImageType::TGA:
    case ImageType::TIFF:
    case ImageType::BMP:
    case ImageType::SGI:
    case ImageType::MacPaint:
    case ImageType::WindowsIcon:
    case ImageType::XBitmap:
    case ImageType::Fax:
    case ImageType::CameraRaw:
        return true;
    default:
        return false;
    }
}

bool IsImageTypeWritable(std::uint32_t code)
{
    switch (code) {
    case ImageType::PICT:
    case ImageType::Illustrator:
    case ImageType::QuickTimeImage:
    case ImageType::WindowsIcon:
    case ImageType::FlashPix:
    case ImageType::Fax:
    case ImageType::CameraRaw:
        return false;
    default:
        return true;
    }
}

bool TypeKeepsMetadata(std::uint32_t code)
{
    return code == 1 || code == 2 || code == 4 || code == 7 || code == 10 || code == 13;
}

bool TypeUsesBitmapWriter(std::uint32_t code)
{
    return code == 2 || code == 3 || code == 4 || code == 7 || code == 10 || code == 11 || code == 13;
}

bool TypeWritesHasAlpha(std::uint32_t code)
{
    return code == 2 || code == 3 || code == 7;
}

bool TypeUsesLZW(std::uint32_t code)
{
    return code == 10 || code == 13 || code == 23;
}

bool TypeUsesQuality(std::uint32_t code)
{
    return code == 3 || code == 4;
}

bool TypeSupportsAlpha(std::uint32_t code)
{
    return code == 2 || code == 3 || code == 7 || code == 10;
}

std::uint32_t ImageTypeFromUTI(const QString& identifier, bool firstTenOnly)
{
    for (const auto& entry : kFirstTen) {
        if (identifier == QLatin1String(entry.identifier))
            return entry.code;
    }
    if (firstTenOnly)
        return ImageType::None;
    for (const auto& entry : kTheRest) {
        if (identifier == QLatin1String(entry.identifier))
            return entry.code;
    }
    return ImageType::None;
}

std::uint32_t DocumentTypeFromUTI(const QString& identifier)
{
    for (const auto& entry : kDocumentTypes) {
        if (identifier == QLatin1String(entry.identifier))
            return entry.code;
    }
    return 0;
}

QString TypeIdentifierOfURL(const QUrl& url)
{
    if (!url.isLocalFile())
        return {};
    const QFileInfo info(url.toLocalFile());
    if (!info.isFile())
        return {};
    static const QMimeDatabase database;
    return identifierOfMimeType(database.mimeTypeForFile(info, QMimeDatabase::MatchDefault));
}

QString TypeIdentifierOfContent(const QUrl& url)
{
    if (!url.isLocalFile())
        return {};
    const QFileInfo info(url.toLocalFile());
    if (!info.isFile())
        return {};
    static const QMimeDatabase database;
    return identifierOfMimeType(database.mimeTypeForFile(info, QMimeDatabase::MatchContent));
}

namespace {

// An SGI image's header: its magic number, then run-length (0 or 1) and bytes a sample (1 or 2). The
// shared MIME database knows the format by the name ".sgi" only, while most such files are named ".rgb",
// ".rgba", ".bw" or ".int".
bool hasSGISignature(const QByteArray& bytes)
{
    return bytes.size() >= 512 && bytes.startsWith("\x01\xDA") && (bytes[2] == 0 || bytes[2] == 1) && (bytes[3] == 1 || bytes[3] == 2);
}

} // namespace

QString TypeIdentifierOfData(const QByteArray& bytes, const QString& fileName)
{
    static const QMimeDatabase database;
    const QMimeType content = database.mimeTypeForData(bytes);
    // Only a picture's signature decides: text or an unknown binary says nothing about a file that its
    // name calls a TGA or an X bitmap.
    QString byContent = content.isDefault() ? QString() : identifierOfMimeType(content);
    if (ImageTypeFromUTI(byContent, false) == ImageType::None && byContent != QLatin1String("com.adobe.pdf")
        && byContent != QLatin1String("org.webmproject.webp"))
        byContent.clear();
    if (byContent.isEmpty() && hasSGISignature(bytes))
        return QStringLiteral("com.sgi.sgi-image");
    if (fileName.isEmpty())
        return byContent;
    const QMimeType named = database.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    const QString byName = named.isDefault() ? QString() : identifierOfMimeType(named);
    if (byContent.isEmpty() || (!byName.isEmpty() && named.inherits(content.name())))
        return byName;
    return byContent;
}

std::uint32_t ImageTypeOfURL(const QUrl& url)
{
    const QString identifier = TypeIdentifierOfURL(url);
    return identifier.isEmpty() ? ImageType::None : ImageTypeFromUTI(identifier, true);
}
