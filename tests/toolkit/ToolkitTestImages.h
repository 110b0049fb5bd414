#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// Image files the toolkit tests write for themselves, each through its format's own library (or by hand
// for the small formats that have none here). Each returns false when the file could not be written.
namespace ToolkitTestImages {

// A picture whose every quadrant has its own colour: red top-left, green top-right, blue bottom-left,
// white bottom-right, so that any turn or mirror shows.
QImage quadrantImage(int width, int height);

bool writePNG(const QString& path, const QImage& image, double dpi);
bool writeJPEG(const QString& path, const QImage& image, double dpi, bool cmyk);
bool writeTIFF(const QString& path, const QList<QImage>& pages, double dpi);
// A camera raw file (DNG) of at least 22 × 22 photosites, the smallest that raw readers take.
bool writeDNG(const QString& path, int width, int height);
bool writeCMYKTIFF(const QString& path, const QImage& image);
// A raw Group 3 fax file of the picture (1728 dots wide, dark pixels black), in either bit order.
bool writeFax(const QString& path, const QImage& image, bool leastSignificantFirst);
bool writeGIF(const QString& path, const QList<QImage>& frames);
bool writeJP2(const QString& path, const QImage& image);
bool writeSGI(const QString& path, const QImage& image, bool compressed);
bool writePhotoshop(const QString& path, const QImage& image, double dpi);
bool writeMacPaint(const QString& path, const QImage& image);
bool writeTGA(const QString& path, const QImage& image, bool runLength = false);
bool writeICO(const QString& path, const QList<QImage>& sizes);
bool writeEXR(const QString& path, const QImage& image);
bool writeWebP(const QString& path, const QImage& image);
bool writePDF(const QString& path, int pages);
bool writeBytes(const QString& path, const QByteArray& bytes);

QByteArray readBytes(const QString& path);

// The colour at a pixel, alpha ignored.
QRgb pixelAt(const QImage& image, int x, int y);

} // namespace ToolkitTestImages
