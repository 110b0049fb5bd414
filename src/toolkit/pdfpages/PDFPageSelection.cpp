#include "toolkit/pdfpages/PDFPageSelection.h"

#include "toolkit/converter/ImageConverter.h"

#include <algorithm>

PDFPageSelection SelectPDFPages(ImageConverter& converter, std::int64_t pageCount)
{
    PDFPageSelection pages;
    if (converter.m_pageMode == 2) {
        pages.first = converter.m_firstPage >= 1 && converter.m_firstPage <= pageCount ? converter.m_firstPage : 1;
        if (converter.m_lastPage < 1)
            converter.m_lastPage = 1;
        pages.last = std::min(converter.m_lastPage, pageCount);
        pages.first = std::min(pages.first, pages.last);
    } else if (converter.m_pageMode == 1) {
        const bool beyond = converter.m_firstPage > pageCount || converter.m_firstPage < 0;
        pages.first = pages.last = beyond ? 1 : converter.m_firstPage;
    } else {
        pages.last = pageCount;
    }
    return pages;
}
