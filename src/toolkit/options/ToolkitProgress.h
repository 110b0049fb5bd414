#pragma once

#include "common/ProgressCallbackInfo.h"

// The toolkit's progress convention: reports go out only when both the target's object and its message
// are set; the cancel question is asked whenever the object is.
// Reports go to the object on the main thread, the caller waiting until they are done; the number is a
// page number (from 1) while pages are processed, or one of the events below.
namespace ToolkitProgress {

inline constexpr long ItemStarted = 3;
inline constexpr long MergedPDFWriting = 6;
inline constexpr long MergedPDFWritten = 7;

bool IsSet(const ProgressCallbackInfo& progress);

// Sends the number to the target; nothing without a complete target.
void Report(const ProgressCallbackInfo& progress, long value);

// Whether the target's object asks for the run to stop; false without an object.
bool IsCancelled(const ProgressCallbackInfo& progress);

} // namespace ToolkitProgress
