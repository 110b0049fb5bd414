#pragma once

#include "toolkit/imageio/ImageRep.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

namespace WritingTest {

// The first representation of a written file, read back through the toolkit's own readers.
std::shared_ptr<BitmapImageRep> readBack(const QString& path);

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
