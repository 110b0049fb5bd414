#pragma once

#include "toolkit/imageio/ImageRep.h"
#include "toolkit/options/ImageSizeOptions.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

namespace WritingTest {

// The first representation of a written file, read back through the toolkit's own readers.
std::shared_ptr<BitmapImageRep> readBack(const QString& path);

// A size record that resamples to the box in pixels, with the fit mode and aspect rule given.
ImageSizeOptions pixelBox(double width, double height, std::uint32_t fitMode = 0, bool keepAspectRatio = false);

// True when the colour is within the tolerance of the expected one on every channel.
bool near(QRgb actual, QRgb expected, int tolerance);

// A TIFF file's tag, read with libtiff; -1 when the file or the tag is missing.
long tiffTag(const QString& path, std::uint32_t tag);

// Samples a pixel and its photometric interpretation.
struct TIFFLayout {
    int samples = 0;
    int photometric = -1;
    int extraSamples = 0;
};
TIFFLayout tiffLayout(const QString& path);

} // namespace WritingTest
