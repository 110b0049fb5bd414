#include "toolkit/pdfpages/BoundedSplashOutputDev.h"

#include "toolkit/pdfimages/PDFImageBounds.h"

#include <poppler/GfxState.h>
#include <poppler/Object.h>
#include <poppler/Stream.h>

bool BoundedSplashOutputDev::fits(Stream* str, int width, int height, const GfxImageColorMap* colorMap, bool inlineImg)
{
    const int samples = colorMap ? colorMap->getNumPixelComps() : 1;
    const int bits = colorMap ? colorMap->getBits() : 1;
    const bool within = str && PDFImageAreaFits(width, height, samples, bits) && JBIG2DeclaredSizesFit(*str, inlineImg);
    m_leftOut = m_leftOut || !within;
    return within;
}

void BoundedSplashOutputDev::drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height,
                                           bool invert, bool interpolate, bool inlineImg)
{
    if (fits(str, width, height, nullptr, inlineImg))
        SplashOutputDev::drawImageMask(state, ref, str, width, height, invert, interpolate, inlineImg);
}

void BoundedSplashOutputDev::setSoftMaskFromImageMask(GfxState* state, Object* ref, Stream* str, int width,
                                                      int height, bool invert, bool inlineImg, double* baseMatrix)
{
    if (fits(str, width, height, nullptr, inlineImg)) {
        SplashOutputDev::setSoftMaskFromImageMask(state, ref, str, width, height, invert, inlineImg, baseMatrix);
        return;
    }
    // The mask is undone by a call that expects it set: one empty pixel stands in for it.
    static const char empty[1] = {0};
    MemStream standIn(empty, 0, 1, Object(objNull));
    SplashOutputDev::setSoftMaskFromImageMask(state, ref, &standIn, 1, 1, invert, false, baseMatrix);
}

void BoundedSplashOutputDev::drawImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                       GfxImageColorMap* colorMap, bool interpolate, const int* maskColors, bool inlineImg)
{
    if (fits(str, width, height, colorMap, inlineImg))
        SplashOutputDev::drawImage(state, ref, str, width, height, colorMap, interpolate, maskColors, inlineImg);
}

void BoundedSplashOutputDev::drawMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                             GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr,
                                             int maskWidth, int maskHeight, bool maskInvert, bool maskInterpolate)
{
    if (fits(str, width, height, colorMap, false) && fits(maskStr, maskWidth, maskHeight, nullptr, false))
        SplashOutputDev::drawMaskedImage(state, ref, str, width, height, colorMap, interpolate, maskStr, maskWidth,
                                         maskHeight, maskInvert, maskInterpolate);
}

void BoundedSplashOutputDev::drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                                 GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr,
                                                 int maskWidth, int maskHeight, GfxImageColorMap* maskColorMap,
                                                 bool maskInterpolate)
{
    if (fits(str, width, height, colorMap, false) && fits(maskStr, maskWidth, maskHeight, maskColorMap, false))
        SplashOutputDev::drawSoftMaskedImage(state, ref, str, width, height, colorMap, interpolate, maskStr, maskWidth,
                                             maskHeight, maskColorMap, maskInterpolate);
}
