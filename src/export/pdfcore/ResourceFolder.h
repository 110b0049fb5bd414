#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace PDFCore {

// The resources folder of an executable installed as <prefix>/bin/<name>: the path is cut right after
// its second "/" from the end, and `installSubfolder` ("share/tomefold") is appended. A path with fewer
// "/" after its first character is not cut. An absolute `installSubfolder` is taken as it stands.
std::string resourceFolderForExecutable(std::string_view executablePath, std::string_view installSubfolder);

// `installFolder` when it is a folder; otherwise `buildFolder` (the source tree's resources, for
// programs run from a build tree) when that is a folder; otherwise still `installFolder`.
std::string existingResourceFolder(const std::string& installFolder, const std::string& buildFolder);

// The resources folder of the running program, found from /proc/self/exe, without a trailing "/".
// No folder when the executable's path cannot be had (reported on standard error).
std::optional<std::string> getHomeDir();

} // namespace PDFCore
