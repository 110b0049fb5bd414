#include "export/pdfcore/SoftMaskedImageDrawing.h"

// Poppler's Object.h must come before Dict.h.
#include <Object.h>
#include <Dict.h>
#include <OutputDev.h>
#include <Stream.h>

namespace PDFCore {

const int kSoftMaskCallKeys[1] = {1};

namespace {

Object softMaskReference(Stream* image)
{
    Dict* dict = image ? image->getDict() : nullptr;
    if (!dict)
        return Object(objNull);
    return dict->lookupNF("SMask").copy();
}

} // namespace

void drawImageThenMask(OutputDev& device, GfxState* state, Object* ref, Stream* str, int width, int height,
                       GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth, int maskHeight,
                       GfxImageColorMap* maskColorMap, bool maskInterpolate)
{
    Object maskRef = softMaskReference(str);
    device.drawImage(state, ref, str, width, height, colorMap, interpolate, nullptr, false);
    device.drawImage(state, &maskRef, maskStr, maskWidth, maskHeight, maskColorMap, maskInterpolate,
                     kSoftMaskCallKeys, false);
}

} // namespace PDFCore
