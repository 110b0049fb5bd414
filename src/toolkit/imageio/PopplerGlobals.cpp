#include "toolkit/imageio/PopplerGlobals.h"

#include <poppler/GlobalParams.h>

#include <mutex>

void EnsurePopplerGlobals()
{
    static std::once_flag made;
    std::call_once(made, [] {
        if (!globalParams)
            globalParams = std::make_unique<GlobalParams>();
    });
}
