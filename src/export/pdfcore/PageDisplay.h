#pragma once

class OutputDev;
class PDFDoc;

namespace PDFCore {

// Renders pages `firstPage` to `lastPage` (counted from 1) of `document` into `device`, as the core's
// own page display does. When the device is one of ours, each page is first announced to it, and its
// progress hook, if any, is asked for cancellation and told of the page.
void displayPages(PDFDoc& document, OutputDev& device, int firstPage, int lastPage, double hDPI, double vDPI,
                  int rotate, bool useMediaBox, bool crop, bool printing, bool (*abortCheck)(void* data) = nullptr,
                  void* abortCheckData = nullptr);

} // namespace PDFCore
