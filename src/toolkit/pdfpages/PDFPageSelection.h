#pragma once

#include <cstdint>

class ImageConverter;

// The pages a PDF run works on, counted from 1; empty when last is below first.
struct PDFPageSelection {
    std::int64_t first = 1;
    std::int64_t last = 0;
};

// The pages the converter's page mode chooses of pageCount: mode 1 the page m_firstPage, mode 2 the
// range m_firstPage to m_lastPage, any other mode all pages. A page outside the document falls back to
// the first; a range's last page below 1 is set to 1 on the converter.
PDFPageSelection SelectPDFPages(ImageConverter& converter, std::int64_t pageCount);
