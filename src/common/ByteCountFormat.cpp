#include "common/ByteCountFormat.h"

namespace WBQUtil {

namespace {

// QString::asprintf writes "." whatever the locale; the formats stay literals so the compiler checks them.
QString FormatInUnit(int unitIndex, float value)
{
    const double shown = value;
    switch (unitIndex) {
    case 0:
        return QString::asprintf("%.0f B", shown);
    case 1:
        return QString::asprintf("%.1f KB", shown);
    case 2:
        return QString::asprintf("%.2f MB", shown);
    case 3:
        return QString::asprintf("%.3f GB", shown);
    default:
        return QString::asprintf("%.4f TB", shown);
    }
}

QString FormatScaled(float count, float unit)
{
    constexpr int kLargestUnit = 4;
    float value = count;
    int unitIndex = 0;
    for (; unitIndex < kLargestUnit && value >= unit; ++unitIndex)
        value = unit == 1024.0f ? value * 0.0009765625f : value / unit;
    return FormatInUnit(unitIndex, value);
}

} // namespace

QString FormatByteCount(float count)
{
    return FormatScaled(count, 1024.0f);
}

QString FormatByteCountDecimal(double count)
{
    return FormatScaled(static_cast<float>(count), 1000.0f);
}

} // namespace WBQUtil
