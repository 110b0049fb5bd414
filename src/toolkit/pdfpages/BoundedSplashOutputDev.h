#pragma once

#include <poppler/SplashOutputDev.h>

// Draws a page as Poppler's Splash device does, but leaves out every image over the bounds on images
// inside PDFs and remembers that it did: the PDF library would otherwise decode and scale whatever
// size the file declares, for minutes. A page with such an image is not a faithful picture of the page.
class BoundedSplashOutputDev : public SplashOutputDev {
public:
    using SplashOutputDev::SplashOutputDev;

    bool leftOutAnImage() const { return m_leftOut; }

    void drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert, bool interpolate,
                       bool inlineImg) override;
    void setSoftMaskFromImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert,
                                  bool inlineImg, double* baseMatrix) override;
    void drawImage(GfxState* state, Object* ref, Stream* str, int width, int height, GfxImageColorMap* colorMap,
                   bool interpolate, const int* maskColors, bool inlineImg) override;
    void drawMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height, GfxImageColorMap* colorMap,
                         bool interpolate, Stream* maskStr, int maskWidth, int maskHeight, bool maskInvert,
                         bool maskInterpolate) override;
    void drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                             GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth, int maskHeight,
                             GfxImageColorMap* maskColorMap, bool maskInterpolate) override;

private:
    bool fits(Stream* str, int width, int height, const GfxImageColorMap* colorMap, bool inlineImg);

    bool m_leftOut = false;
};
