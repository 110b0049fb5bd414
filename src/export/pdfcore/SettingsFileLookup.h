#pragma once

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

// The whole of a file, or nothing when it does not open as a file.
std::optional<std::string> readWholeFile(const std::string& path);

} // namespace PDFCore
