#pragma once

#include "toolkit/codec/CodecBuffer.h"

#include <cstdint>

// Colour kinds of DecodeJPEG2000Data, in and out.
inline constexpr uint32_t kJPEG2000ColourNone = 0;
inline constexpr uint32_t kJPEG2000ColourGrey = 1;
inline constexpr uint32_t kJPEG2000ColourRGB = 2;
inline constexpr uint32_t kJPEG2000ColourCMYK = 3;

// Decodes a JPEG 2000 codestream (bytes beginning FF 4F) or JP2 file through OpenJPEG into packed 8-bit
// pixels, rows top to bottom, componentCount bytes a pixel: the colour components, then at most one extra
// (alpha) component. Samples of other precisions are scaled to 8 bits; sYCC images come back as RGB.
// A colourKind of kJPEG2000ColourNone on entry is set from the colour components; another value stays.
// iccProfile receives the file's ICC profile, or is emptied when it carries none.
// 0 on success, -1 on failure (too short, undecodable, components of unequal size or precision, too large);
// the library's own messages are dropped.
int64_t DecodeJPEG2000Data(const CodecBuffer& data, CodecBuffer* pixels, uint32_t* colourKind,
                           int64_t* componentCount, CodecBuffer* iccProfile);
