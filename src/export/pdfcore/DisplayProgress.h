#pragma once

#include <atomic>
#include <functional>

namespace PDFCore {

// What a progress hook's owner shares with page display: setting `cancel` to non-zero stops the
// display before its next page.
struct DisplayProgressContext
{
    std::atomic<int> cancel{0};
};

// Announced to a progress hook before each page is rendered.
struct PageProgressEvent
{
    int pageNumber = 0;                      // counted from 1
    const void* owner = nullptr;             // the hook's own `owner`
    DisplayProgressContext* context = nullptr; // the hook's own `context`
};

// An optional per-page progress hook of an output device.
struct DisplayProgress
{
    const void* owner = nullptr; // handed back untouched with every event
    DisplayProgressContext* context = nullptr;
    std::function<void(const PageProgressEvent&)> callback;
};

} // namespace PDFCore
