#pragma once

#include "export/pdfcore/DisplayProgress.h"

namespace PDFCore {

// Mixed into our own output devices: page display tells them which page comes next, and gives
// them an optional progress hook with a cancel flag. No hook is installed by default.
class PageAnnouncingDevice
{
public:
    virtual ~PageAnnouncingDevice() = default;

    // Called with the number of the page about to be rendered (counted from 1).
    virtual void setCurrentPage(int pageNumber) { currentPageNumber = pageNumber; }
    int currentPage() const { return currentPageNumber; }

    // The hook is not owned: it must outlive the display that uses it.
    void setProgressHook(const DisplayProgress* hook) { progress = hook; }
    const DisplayProgress* progressHook() const { return progress; }

protected:
    PageAnnouncingDevice() = default;
    PageAnnouncingDevice(const PageAnnouncingDevice&) = default;
    PageAnnouncingDevice& operator=(const PageAnnouncingDevice&) = default;

private:
    const DisplayProgress* progress = nullptr;
    int currentPageNumber = 0;
};

} // namespace PDFCore
