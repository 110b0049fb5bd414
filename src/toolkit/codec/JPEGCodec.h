#pragma once

#include "toolkit/codec/CodecBuffer.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

// JPEG glue over libjpeg for images held in memory. Packed pixels: 8 bits a sample, the components of a
// pixel side by side, rows top to bottom without gaps (a row is width × components bytes). No state is
// kept between calls; any thread may call.

// Component codes of DecodeJPEGFromMemory.
inline constexpr uint32_t kJPEGComponentsGrey = 1;
inline constexpr uint32_t kJPEGComponentsRGB = 2;
inline constexpr uint32_t kJPEGComponentsCMYK = 4;

// Decodes a baseline or progressive JPEG. 0 on success, 1 on failure (library error, unsupported
// component count, an image larger than the glue accepts, no memory); on failure the outputs other than
// the resolutions are left empty or zero and the library state is released. Data that stops early ends at
// an end-of-image marker the reader supplies: the rows decoded so far come back with 0. The resolutions
// (dots per inch) are written only when the file states them, so the caller presets them (to 0).
int DecodeJPEGFromMemory(const uint8_t* data, uint64_t length, uint32_t* componentCode, CodecBuffer* pixels,
                         uint32_t* width, uint32_t* height, double* xResolution, double* yResolution);

// Encodes packed pixels (components a pixel in the given libjpeg colour space, e.g. JCS_CMYK) to JPEG with
// a JFIF header carrying the resolution in dots per inch. Quality 0 to 100. 0 on success with the file in
// `jpeg`; 1 when the library refuses the image (bad size, component count or colour space), in which case
// `jpeg` is empty and the caller writes nothing.
int EncodeJPEGToMemory(uint32_t width, uint32_t height, const uint8_t* pixels, J_COLOR_SPACE colorSpace,
                       int components, CodecBuffer* jpeg, int quality, double xResolution, double yResolution);
