#include "export/PDFCoreGlobals.h"

#include <GlobalParams.h>

#include <mutex>

void EnsurePDFCoreGlobalParams()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (globalParams)
            return;
        globalParams = std::make_unique<GlobalParams>();
        globalParams->setTextEncoding("UTF-8");
    });
}
