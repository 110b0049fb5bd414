#pragma once

#include "export/pdfcore/TextOffsetLocator.h"

#include <vector>

class TextOutputDev;

namespace PDFCore {

// The words of the page the device rendered last, in the order of its word list (content-stream
// order for a device made with raw order on).
std::vector<LocatorWord> pageWords(TextOutputDev& device);

} // namespace PDFCore
