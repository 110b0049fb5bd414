#include "common/PrintTimeLimit.h"

#include <algorithm>
#include <cmath>

namespace PrintTimeLimit {

namespace {

// A reference page of 591 sheets printed in 30 s alone on the development machine, and takes
// several times that beside other prints on a busy one: its limit is about twelve times what it
// took alone. Past the most sheets counted a print ends at a fixed limit (21 minutes).
constexpr std::chrono::milliseconds kPerSheet{500};
constexpr double kMostSheetsTimed = 2400.0;

} // namespace

std::chrono::milliseconds ForSheets(double sheets)
{
    if (!(sheets > 1.0))
        return kBase;
    const double extra = std::min(sheets, kMostSheetsTimed) * static_cast<double>(kPerSheet.count());
    return kBase + std::chrono::milliseconds(std::llround(extra));
}

} // namespace PrintTimeLimit
