#include "toolkit/options/ToolkitProgress.h"

#include "platform/MainThread.h"

namespace ToolkitProgress {

bool IsSet(const ProgressCallbackInfo& progress)
{
    return progress.object != nullptr && progress.selector != nullptr;
}

void Report(const ProgressCallbackInfo& progress, long value)
{
    if (!IsSet(progress))
        return;
    runOnMainAndWait([&progress, value] { (progress.object->*progress.selector)(value); });
}

bool IsCancelled(const ProgressCallbackInfo& progress)
{
    return progress.object != nullptr && progress.object->isConversionCancelled();
}

} // namespace ToolkitProgress
