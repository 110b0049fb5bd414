#pragma once

#include "toolkit/imageio/ImageMetadata.h"
#include "toolkit/imageio/ImageRep.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What an image writer is told besides the pixels: the properties a converter sets on its destination.
struct WriteProperties {
    int orientation = 0;   // 1 to 8 is written; 0 writes none
    bool hasAlpha = false; // the converter asks for alpha (formats without it flatten on white)
    double dpiX = 0;       // both above 0: the resolution is written
    double dpiY = 0;
    int tiffCompression = 0;       // 5: LZW; otherwise none
    std::optional<double> quality; // lossy quality 0 to 1 (JPEG, JPEG 2000)
    ImageMetadata metadata;        // dictionaries to copy; formats that cannot hold them ignore them
};

// Encodes one image as a file of the writer identifier's format ("public.jpeg", "public.png", ...). False
// (and `out` empty) when the format is not written here or its library refuses the image. Metadata that
// cannot be written leaves the image written without it.
bool EncodeBitmapImage(const BitmapImageRep& image, const QString& identifier, const WriteProperties& properties,
                       QByteArray& out);

// The pixels with alpha composited onto white, as formats without alpha store them; RGB32 or grey kept.
QImage FlattenOnWhite(const QImage& image);

// One encoder each; all take the image as the converter rendered it.
bool EncodeJPEGImage(const BitmapImageRep& image, const WriteProperties& properties, QByteArray& out);
bool EncodeTIFFImage(const BitmapImageRep& image, const WriteProperties& properties, QByteArray& out);
bool EncodeGIFImage(const BitmapImageRep& image, QByteArray& out);
bool EncodeJPEG2000Image(const BitmapImageRep& image, const WriteProperties& properties, QByteArray& out);
bool EncodePDFImage(const BitmapImageRep& image, const WriteProperties& properties, QByteArray& out);
bool EncodeTGAImage(const BitmapImageRep& image, QByteArray& out);
bool EncodeSGIImage(const BitmapImageRep& image, QByteArray& out);
bool EncodePhotoshopImage(const BitmapImageRep& image, const WriteProperties& properties, QByteArray& out);
bool EncodeMacPaintImage(const BitmapImageRep& image, QByteArray& out);
bool EncodeOpenEXRImage(const BitmapImageRep& image, QByteArray& out);
// Through Qt's image plugins: "png", "bmp", "icns", "xbm".
bool EncodeQtImage(const BitmapImageRep& image, const char* format, const WriteProperties& properties, QByteArray& out);

// Writes the dictionaries, the orientation and a colour profile (unless the bytes hold one) into encoded JPEG, PNG, TIFF or Photoshop bytes through exiv2; false
// (bytes unchanged) when exiv2 cannot write them.
bool WriteMetadataInto(QByteArray& encoded, const ImageMetadata& metadata, int orientation, const QByteArray& icc = {});
