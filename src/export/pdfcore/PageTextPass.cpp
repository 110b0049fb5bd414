#include "export/pdfcore/PageTextPass.h"

#include "export/pdfcore/LocatorTextOutputDev.h"
#include "export/pdfcore/PageDisplay.h"
#include "export/pdfcore/TextOffsetLocator.h"

#include <PDFDoc.h>

namespace PDFCore {

int locateTextOffsetsOnPage(PDFDoc& document, int pageNumber, std::string_view text, std::int32_t& textOffset,
                            std::span<TextOffsetRecord> records, std::int32_t& recordIndex)
{
    LocatorTextOutputDev device;
    if (!device.isOk())
        return kLocateMatched;
    displayPages(document, device, pageNumber, pageNumber, 72.0, 72.0, 0, /*useMediaBox=*/false, /*crop=*/true,
                 /*printing=*/false);
    return device.locateTextOffsets(text, textOffset, records, recordIndex);
}

} // namespace PDFCore
