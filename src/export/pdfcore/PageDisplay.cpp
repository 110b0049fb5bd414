#include "export/pdfcore/PageDisplay.h"

#include "export/pdfcore/PageAnnouncingDevice.h"

#include <OutputDev.h>
#include <PDFDoc.h>

namespace PDFCore {

namespace {

// False when the hook asks for the display to stop before this page.
bool announceToHook(const DisplayProgress& hook, int pageNumber)
{
    if (hook.context && hook.context->cancel.load() != 0)
        return false;
    if (hook.callback) {
        PageProgressEvent event;
        event.pageNumber = pageNumber;
        event.owner = hook.owner;
        event.context = hook.context;
        hook.callback(event);
    }
    return true;
}

} // namespace

void displayPages(PDFDoc& document, OutputDev& device, int firstPage, int lastPage, double hDPI, double vDPI,
                  int rotate, bool useMediaBox, bool crop, bool printing, bool (*abortCheck)(void* data),
                  void* abortCheckData)
{
    auto* announcing = dynamic_cast<PageAnnouncingDevice*>(&device);
    for (int page = firstPage; page <= lastPage; ++page) {
        if (announcing) {
            if (const DisplayProgress* hook = announcing->progressHook(); hook && !announceToHook(*hook, page))
                return;
            announcing->setCurrentPage(page);
        }
        // Poppler keeps parsed pages in its catalog for the document's lifetime; there is nothing to
        // hand back after each page.
        document.displayPage(&device, page, hDPI, vDPI, rotate, useMediaBox, crop, printing, abortCheck,
                             abortCheckData);
    }
}

} // namespace PDFCore
