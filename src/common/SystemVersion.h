#pragma once

#include <QString>
#include <QtGlobal>

namespace WBQUtil {

// Major, minor and patch level of an operating system release; a number that cannot be read is 0.
struct SystemVersion {
    qint32 major = 0;
    qint32 minor = 0;
    qint32 patch = 0;
};

// Reads the leading "major.minor.patch" of a kernel release such as "6.1.0-18-amd64"; reading stops at the
// first character that does not continue that pattern, and numbers too large for 32 bits are capped.
SystemVersion ParseSystemRelease(const QString& release);

// The running kernel's release (uname).
SystemVersion RunningSystemVersion();

// running − wanted, taken at the first of major, minor and patch level that differ; 0 when all are equal.
// The difference is capped to the 32-bit range instead of overflowing.
qint32 CompareVersions(const SystemVersion& running, qint32 major, qint32 minor, qint32 patch);

// CompareVersions of the running kernel: negative when it is older than the given version, 0 when equal,
// positive when newer.
qint32 CompareOSVersion(qint32 major, qint32 minor, qint32 patch);

} // namespace WBQUtil
