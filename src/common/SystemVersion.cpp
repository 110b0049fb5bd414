#include "common/SystemVersion.h"

#include <algorithm>
#include <array>
#include <limits>

#include <sys/utsname.h>

namespace WBQUtil {

namespace {

bool IsDigit(QChar character)
{
    return character >= QLatin1Char('0') && character <= QLatin1Char('9');
}

// Reads the digits at position, capped to the 32-bit range; false when there are none.
bool ReadNumber(const QString& text, qsizetype& position, qint32& number)
{
    const qsizetype start = position;
    qint64 value = 0;
    for (; position < text.size() && IsDigit(text.at(position)); ++position)
        value = std::min<qint64>(value * 10 + text.at(position).digitValue(), std::numeric_limits<qint32>::max());
    number = static_cast<qint32>(value);
    return position > start;
}

qint32 CappedDifference(qint32 running, qint32 wanted)
{
    const qint64 difference = qint64(running) - qint64(wanted);
    return static_cast<qint32>(std::clamp<qint64>(difference, std::numeric_limits<qint32>::min(),
                                                  std::numeric_limits<qint32>::max()));
}

} // namespace

SystemVersion ParseSystemRelease(const QString& release)
{
    std::array<qint32, 3> numbers {0, 0, 0};
    qsizetype position = 0;
    for (std::size_t index = 0; index < numbers.size(); ++index) {
        if (index > 0) {
            if (position >= release.size() || release.at(position) != QLatin1Char('.'))
                break;
            ++position;
        }
        if (!ReadNumber(release, position, numbers[index]))
            break;
    }
    return {numbers[0], numbers[1], numbers[2]};
}

SystemVersion RunningSystemVersion()
{
    struct utsname name {};
    if (::uname(&name) != 0)
        return {};
    return ParseSystemRelease(QString::fromLocal8Bit(name.release));
}

qint32 CompareVersions(const SystemVersion& running, qint32 major, qint32 minor, qint32 patch)
{
    if (running.major != major)
        return CappedDifference(running.major, major);
    if (running.minor != minor)
        return CappedDifference(running.minor, minor);
    return CappedDifference(running.patch, patch);
}

qint32 CompareOSVersion(qint32 major, qint32 minor, qint32 patch)
{
    return CompareVersions(RunningSystemVersion(), major, minor, patch);
}

} // namespace WBQUtil
