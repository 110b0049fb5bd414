#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <cstdint>

class ImageConverter;

// The toolkit's one vocabulary of image formats. Identifiers are the uniform type identifier strings
// the converters speak; files are classified into them through the MIME database.
namespace ImageType {
enum : std::uint32_t {
    None = 0,
    Photoshop = 1,
    GIF = 2,
    JPEG2000 = 3,
    JPEG = 4,
    OpenEXR = 5,
    AppleIcon = 6,
    PNG = 7,
    PDF = 8,
    TGA = 9,
    TIFF = 10,
    BMP = 11,
    SGI = 12,
    CMYKTIFF = 13,
    PICT = 14,
    Illustrator = 15,
    MacPaint = 16,
    QuickTimeImage = 17,
    WindowsIcon = 18,
    XBitmap = 19,
    FlashPix = 20,
    Fax = 21,
    CameraRaw = 22,
    MultiPageTIFF = 23,
    WebP = 24,
};
} // namespace ImageType

// The identifier a file of the code is recognised by; empty for codes that no file is classified as.
QString ImageReadIdentifier(std::uint32_t code);

// The identifier handed to the image writer for an output of the code. Illustrator, Windows icon and
// WebP have none (WebP goes through its own encoder); codes past the table write JPEG.
QString ImageWriteIdentifier(std::uint32_t code);

// Formats whose files this system reads, and those it writes, on Linux. PICT, QuickTime image, FlashPix
// and Illustrator files are neither read nor written; camera raw files, fax files and Windows icons are
// read, never written.
bool IsImageTypeReadable(std::uint32_t code);
bool IsImageTypeWritable(std::uint32_t code);

// The sets of codes the writers branch on.
bool TypeKeepsMetadata(std::uint32_t code);    // {1, 2, 4, 7, 10, 13}
bool TypeUsesBitmapWriter(std::uint32_t code); // {2, 3, 4, 7, 10, 11, 13}
bool TypeWritesHasAlpha(std::uint32_t code);   // {2, 3, 7}
bool TypeUsesLZW(std::uint32_t code);          // {10, 13, 23}
bool TypeUsesQuality(std::uint32_t code);      // {3, 4}
bool TypeSupportsAlpha(std::uint32_t code);    // {2, 3, 7, 10}

// JPEG, TIFF, PNG, GIF, JPEG 2000, BMP, Photoshop, OpenEXR, TGA and Apple icon are compared first; with
// firstTenOnly nothing else is, otherwise SGI, camera raw, PICT, MacPaint, X bitmap, QuickTime image,
// fax, FlashPix, Illustrator and Windows icon follow. No match gives 0. Comparisons are exact.
std::uint32_t ImageTypeFromUTI(const QString& identifier, bool firstTenOnly);

// The document type code of a text document's identifier, 0 when it is none of them.
std::uint32_t DocumentTypeFromUTI(const QString& identifier);

// The type identifier of a local file from its content and its name; empty when the file cannot be
// classified (a file that does not exist, a URL that is not a local file).
QString TypeIdentifierOfURL(const QUrl& url);

// The type identifier of a local file from its content alone; empty when the content says nothing.
QString TypeIdentifierOfContent(const QUrl& url);

// The identifier of a picture's bytes, as an image source classifies them: the content decides; the
// name (which may be empty) only breaks ties, where it names a kind of the content's format (a camera's
// raw format is TIFF inside) or where the content says nothing.
QString TypeIdentifierOfData(const QByteArray& bytes, const QString& fileName);

// The image code of a file: its identifier classified among the first ten codes.
std::uint32_t ImageTypeOfURL(const QUrl& url);

// The write identifier of the converter's output type.
QString CopyOutputTypeIdentifier(const ImageConverter& converter);
