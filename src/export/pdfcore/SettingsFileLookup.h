#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace PDFCore {

// Name of the core's settings file.
inline constexpr const char* kSettingsFileName = "xpdfrc";

// Where the settings file is looked for, in this order.
struct SettingsFileSources
{
    std::string requestedName;                 // when not empty, opened exactly as given
    std::optional<std::string> resourceFolder; // then <resourceFolder>/xpdfrc
    std::string currentFolder;                 // then xpdfrc in this folder (empty: the process's own)
};

struct SettingsFile
{
    std::string name; // as it was opened, for messages
    std::string contents;
};

// The first of the sources that opens as a file; none when no source does (not reported).
std::optional<SettingsFile> findSettingsFile(const SettingsFileSources& sources);

// The largest settings or data file read: the core's biggest maps are a few hundred kilobytes.
inline constexpr std::size_t kMaximumSettingsFileBytes = 16u << 20;

// The whole of a regular file, or nothing when the path names no regular file or one larger than
// kMaximumSettingsFileBytes. A FIFO, a device or a folder is never opened for reading: a settings
// line may name any path, and /dev/zero or a FIFO would exhaust memory or wait for ever.
std::optional<std::string> readWholeFile(const std::string& path);

} // namespace PDFCore
