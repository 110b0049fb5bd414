#pragma once

#include <GlobalParams.h>

#include <memory>

// Puts `params` in place of the PDF core's global settings for its lifetime, then puts the previous
// ones back (and hands `params` back to `owner`).
class ScopedGlobalParams {
public:
    explicit ScopedGlobalParams(std::unique_ptr<GlobalParams>& owner)
        : lent(owner)
    {
        previous.swap(globalParams);
        globalParams.swap(lent);
    }
    ~ScopedGlobalParams()
    {
        lent.swap(globalParams);
        globalParams.swap(previous);
    }
    ScopedGlobalParams(const ScopedGlobalParams&) = delete;
    ScopedGlobalParams& operator=(const ScopedGlobalParams&) = delete;

private:
    std::unique_ptr<GlobalParams>& lent;
    std::unique_ptr<GlobalParams> previous;
};
