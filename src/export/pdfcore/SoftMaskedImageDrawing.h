#pragma once

class GfxImageColorMap;
class GfxState;
class Object;
class OutputDev;
class Stream;

namespace PDFCore {

// The colour-key list handed with the second, mask, call of `drawImageThenMask`. A device that draws
// pixels tells that call apart by this address: the list holds one integer, not the pair per colour
// component that a real colour-key list holds, so it must never be read as one.
extern const int kSoftMaskCallKeys[1];

inline bool isSoftMaskCall(const int* maskColors)
{
    return maskColors == kSoftMaskCallKeys;
}

// Draws a soft-masked image through the device's `drawImage`: first the image, then its mask, whose
// object reference is the image dictionary's "SMask" entry as stored (null when there is none).
void drawImageThenMask(OutputDev& device, GfxState* state, Object* ref, Stream* str, int width, int height,
                       GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth, int maskHeight,
                       GfxImageColorMap* maskColorMap, bool maskInterpolate);

} // namespace PDFCore
