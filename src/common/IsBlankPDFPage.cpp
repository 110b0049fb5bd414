#include "common/IsBlankPDFPage.h"

#include <QList>
#include <QString>

// Debian's Poppler is built with the word list: its text classes have the matching layout.
#define TEXTOUT_WORD_LIST 1
#include <GlobalParams.h>
#include <PDFDoc.h>
#include <SplashOutputDev.h>
#include <TextOutputDev.h>
#include <splash/SplashBitmap.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int kMostCharactersOfABlankPage = 5;
// Half the page's size in points: enough to see any mark, four times fewer pixels than full size.
constexpr double kBlankTestDPI = 72.0 * 0.5;

void discardText(void*, const char*, int) {}

int characterCount(PDFDoc& document, int pageNumber)
{
    TextOutputDev device(&discardText, nullptr, false, 0, false);
    if (!device.isOk())
        return 0;
    document.displayPage(&device, pageNumber, 72, 72, 0, false, true, false);
    const std::unique_ptr<GooString> text(device.getText(-1e9, -1e9, 1e9, 1e9));
    if (!text)
        return 0;
    // Line ends that the text layout adds after the last word are not characters of the page.
    return static_cast<int>(QString::fromUtf8(text->c_str()).trimmed().toUcs4().size());
}

bool drawsOnlyWhite(PDFDoc& document, int pageNumber)
{
    SplashColor white;
    white[0] = white[1] = white[2] = 0xFF;
    SplashOutputDev device(splashModeRGB8, 4, false, white);
    device.startDoc(&document);
    document.displayPage(&device, pageNumber, kBlankTestDPI, kBlankTestDPI, 0, false, true, false);
    SplashBitmap* bitmap = device.getBitmap();
    if (bitmap == nullptr || bitmap->getWidth() <= 0 || bitmap->getHeight() <= 0)
        return false;
    const int rowBytes = bitmap->getWidth() * 3;
    for (int y = 0; y < bitmap->getHeight(); ++y) {
        const unsigned char* row = bitmap->getDataPtr() + static_cast<std::ptrdiff_t>(y) * bitmap->getRowSize();
        if (!std::all_of(row, row + rowBytes, [](unsigned char byte) { return byte == 0xFF; }))
            return false;
    }
    return true;
}

} // namespace

bool IsBlankPDFPage(PDFDoc* document, int pageIndex)
{
    if (document == nullptr || !document->isOk() || pageIndex < 0 || pageIndex >= document->getNumPages())
        return false;
    // The text and drawing devices read the core's settings; without them a page is kept.
    if (!globalParams)
        return false;
    const int pageNumber = pageIndex + 1;
    if (characterCount(*document, pageNumber) > kMostCharactersOfABlankPage)
        return false;
    return drawsOnlyWhite(*document, pageNumber);
}
