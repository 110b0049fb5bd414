#pragma once

#include "common/ProgressCallbackInfo.h"

// The toolkit's progress convention: a target is used only when both its object and its message are set.
// Reports go to the object on the main thread, the caller waiting until they are done; the number is a
// page number (from 1) while pages are processed, or one of the events below.
namespace ToolkitProgress {

inline constexpr long ItemStarted = 3;
inline constexpr long MergedPDFWriting = 6;
inline constexpr long MergedPDFWritten = 7;

bool IsSet(const ProgressCallbackInfo& progress);

// Sends the number to the target; nothing without a complete target.
void Report(const ProgressCallbackInfo& progress, long value);

// Whether the target's object asks for the run to stop; false without a complete target.
bool IsCancelled(const ProgressCallbackInfo& progress);

} // namespace ToolkitProgress
