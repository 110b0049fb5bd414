#pragma once

#include "toolkit/imageio/ImageRep.h"

#include <QByteArray>
#include <QImage>

#include <tiffio.h>

#include <cstdint>
#include <optional>

// A TIFF page whose samples the image layer reads itself, keeping their depth: grey, RGB or CMYK inks of
// 8 or 16 bits or 32-bit floating point, with or without alpha, in strips or tiles, interleaved or in
// planes. libtiff's RGBA conversion takes every other page, and brings every page down to 8 bits.
struct TIFFSampleLayout {
    uint32_t width = 0;
    uint32_t height = 0;
    int samplesPerPixel = 0;
    int bitsPerSample = 8;
    bool floatingPoint = false;
    bool separatePlanes = false;
    ColorSpaceModel colorSpace = ColorSpaceModel::RGB;
    bool minIsWhite = false;
    // CIE L*a*b* samples (8 bits: L from 0 to 100, a and b signed, or ICC's unsigned a and b), turned into
    // sRGB once read.
    bool lab = false;
    bool iccLab = false;
    AlphaKind alpha = AlphaKind::None;

    int colourSamples() const { return colorSpace == ColorSpaceModel::CMYK ? 4 : colorSpace == ColorSpaceModel::Grey ? 1
                                                                                                                     : 3; }
    bool deep() const { return bitsPerSample > 8; }
    // What the page takes in memory once read, per pixel: its pixels, and a CMYK page's inks beside them.
    std::uint64_t keptBytesPerPixel() const;
};

// The layout of the current page when these samples can read it; none for the RGBA conversion's pages.
std::optional<TIFFSampleLayout> TIFFSampleLayoutOf(TIFF* tiff);

// The page's pixels, rows as stored (the page's orientation is not applied): Grayscale8/16, RGB888,
// RGBX64, RGBA8888/RGBA64 (premultiplied when the file's alpha is), or for CMYK an RGB32 picture of the
// 8-bit inks put in `inks`. Null when a strip or tile does not decode.
QImage ReadTIFFSamples(TIFF* tiff, const TIFFSampleLayout& layout, QByteArray& inks);
