#include "export/pdfcore/LocatorTextOutputDev.h"

#include "export/pdfcore/PageWordList.h"
#include "export/pdfcore/SoftMaskedImageDrawing.h"
#include "export/pdfcore/TextOffsetLocator.h"

#include <GfxState.h>
#include <GlobalParams.h>

namespace PDFCore {

namespace {

void discardText(void* /*stream*/, const char* /*text*/, int /*length*/) {}

} // namespace

LocatorTextOutputDev::LocatorTextOutputDev()
    : TextOutputDev(&discardText, nullptr, /*physLayoutA=*/false, /*fixedPitchA=*/0.0, /*rawOrderA=*/true)
    , textMapping(CoreTextMaps::forSettings(globalParams.get()))
{
}

void LocatorTextOutputDev::startPage(int pageNum, GfxState* state, XRef* xref)
{
    // Pages rendered through Poppler's own display calls are announced too.
    setCurrentPage(pageNum);
    textMapping.reset();
    TextOutputDev::startPage(pageNum, state, xref);
}

void LocatorTextOutputDev::drawChar(GfxState* state, double x, double y, double dx, double dy, double originX,
                                    double originY, CharCode c, int nBytes, const Unicode* u, int uLen)
{
    UnicodeSequence mapped;
    const GfxFont* font = state ? state->getFont().get() : nullptr;
    if (font && textMapping.map(*font, c, u, uLen, mapped)) {
        TextOutputDev::drawChar(state, x, y, dx, dy, originX, originY, c, nBytes, mapped.values.data(), mapped.length);
        return;
    }
    TextOutputDev::drawChar(state, x, y, dx, dy, originX, originY, c, nBytes, u, uLen);
}

void LocatorTextOutputDev::drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                               GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr,
                                               int maskWidth, int maskHeight, GfxImageColorMap* maskColorMap,
                                               bool maskInterpolate)
{
    drawImageThenMask(*this, state, ref, str, width, height, colorMap, interpolate, maskStr, maskWidth, maskHeight,
                      maskColorMap, maskInterpolate);
}

int LocatorTextOutputDev::locateTextOffsets(std::string_view text, std::int32_t& textOffset,
                                            std::span<TextOffsetRecord> records, std::int32_t& recordIndex)
{
    const UnicodeMap* encoding = globalParams ? globalParams->getTextEncoding() : nullptr;
    return PDFCore::locateTextOffsets(pageWords(*this), encoding, text, textOffset, records, recordIndex);
}

} // namespace PDFCore
