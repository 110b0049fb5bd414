#include "export/PrintedPageLayout.h"

#include "export/pdfcore/LocatorTextOutputDev.h"
#include "export/pdfcore/PageDisplay.h"
#include "export/pdfcore/PageWordList.h"

#include <PDFDoc.h>

PrintedPageLayout PrintedPageLayout::read(PDFDoc& document, int pageIndex)
{
    PrintedPageLayout layout;
    const int pageNumber = pageIndex + 1;
    if (Page* page = document.getPage(pageNumber))
        layout.cropBox = *page->getCropBox();
    // One rendering serves both the matching of the words and the page's character count.
    PDFCore::LocatorTextOutputDev device;
    if (!device.isOk())
        return layout;
    PDFCore::displayPages(document, device, pageNumber, pageNumber, 72.0, 72.0, 0, /*useMediaBox=*/false,
                          /*crop=*/true, /*printing=*/false);
    layout.deviceOk = true;
    layout.words = PDFCore::pageWords(device);
    layout.characters = PageCharacters::fromDevice(device, layout.cropBox);
    return layout;
}
