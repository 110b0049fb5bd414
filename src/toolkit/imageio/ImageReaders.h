#pragma once

#include "toolkit/imageio/Image.h"

#include <QByteArray>

// One reader a format: the representations of a file's bytes, none when the bytes are not a readable
// file of that format. None of them trusts a size the file declares: pixels past the decoded-size limit
// are refused before they are allocated.
ImageRepList ReadJPEGRepresentations(const QByteArray& bytes);
ImageRepList ReadTIFFRepresentations(const QByteArray& bytes);
ImageRepList ReadJPEG2000Representations(const QByteArray& bytes);
ImageRepList ReadSGIRepresentations(const QByteArray& bytes);
ImageRepList ReadTGARepresentations(const QByteArray& bytes);
ImageRepList ReadOpenEXRRepresentations(const QByteArray& bytes);
ImageRepList ReadFaxRepresentations(const QByteArray& bytes);
ImageRepList ReadPhotoshopRepresentations(const QByteArray& bytes);
ImageRepList ReadMacPaintRepresentations(const QByteArray& bytes);
ImageRepList ReadCameraRawRepresentations(const QByteArray& bytes);
ImageRepList ReadPDFRepresentations(const QByteArray& bytes);

// Formats read through Qt's image plugins: "png", "gif", "bmp", "ico", "icns", "xbm". Every image
// of the file (frames of a GIF, sizes of an icon) is a representation.
ImageRepList ReadQtRepresentations(const QByteArray& bytes, const char* format);

// A BMP's bytes as Qt reads them: Windows' 52- and 56-byte info headers (BITMAPV2INFOHEADER and V3: the
// 40-byte header followed by the red, green, blue and alpha bit masks) are the 108-byte V4 header cut
// short, and alpha bit fields (compression 6) are bit fields with an alpha mask; Qt reads only the 40-,
// 108- and 124-byte headers and compression 3. Such a header is completed (colour-space fields zero, the
// pixel offset moved by the bytes added); any other bytes are returned as they are.
QByteArray WithCompleteBMPHeader(const QByteArray& bytes);

// The resolution a PNG's pHYs chunk or a BMP's header gives, in dots per inch; 0 when the file gives
// none.
double PNGResolution(const QByteArray& bytes, bool vertical);
double BMPResolution(const QByteArray& bytes, bool vertical);

// The resolution a file's Exif block states for its main image, in dots per inch; zeros when it states
// none. Cameras and photo editors write JPEGs whose only resolution is there, without a JFIF density.
struct ExifResolution {
    double dpiX = 0;
    double dpiY = 0;
};
ExifResolution ReadExifResolution(const QByteArray& bytes);

// The metadata dictionaries of a file that carries any (Exif, IPTC, XMP); empty for any other bytes.
ImageMetadata ReadImageMetadata(const QByteArray& bytes);
