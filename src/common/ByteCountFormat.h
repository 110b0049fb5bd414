#pragma once

#include <QString>

namespace WBQUtil {

// A byte count in the largest binary unit below 1024 of it: "1023 B", "1.5 KB", "1.00 MB", "1.000 GB",
// "1.0000 TB" (TB is the largest unit). Works in single precision.
QString FormatByteCount(float count);

// The same with units of 1000: "999 B", "1.0 KB", "2.50 MB".
QString FormatByteCountDecimal(double count);

} // namespace WBQUtil
