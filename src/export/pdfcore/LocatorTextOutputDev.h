#pragma once

#include "export/pdfcore/CoreTextMaps.h"
#include "export/pdfcore/PageAnnouncingDevice.h"
#include "export/pdfcore/TextOffsetRecord.h"

#include <TextOutputDev.h>

#include <cstdint>
#include <span>
#include <string_view>

namespace PDFCore {

// The text device of the export's text pass: it keeps each page's words in content-stream order,
// writes no text anywhere, and locates text offsets among the words of the page rendered last.
class LocatorTextOutputDev : public TextOutputDev, public PageAnnouncingDevice
{
public:
    LocatorTextOutputDev();

    void startPage(int pageNum, GfxState* state, XRef* xref) override;
    // The character's text with the settings' maps that Poppler cannot apply (see CoreTextMaps).
    void drawChar(GfxState* state, double x, double y, double dx, double dy, double originX, double originY,
                  CharCode c, int nBytes, const Unicode* u, int uLen) override;

    // Passes the image, then its mask, to `drawImage` (see SoftMaskedImageDrawing.h); this device itself
    // draws no images.
    void drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                             GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth,
                             int maskHeight, GfxImageColorMap* maskColorMap, bool maskInterpolate) override;

    // `PDFCore::locateTextOffsets` over the rendered page's words, with the core's text encoding.
    int locateTextOffsets(std::string_view text, std::int32_t& textOffset, std::span<TextOffsetRecord> records,
                          std::int32_t& recordIndex);

private:
    FontTextMapping textMapping;
};

} // namespace PDFCore
