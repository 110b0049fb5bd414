#include "export/pdfcore/ResourceFolder.h"

#include "TomefoldPaths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace PDFCore {

namespace {

// The longest executable path we ask the system for.
constexpr std::size_t kPathBufferSize = 4096;

// The install tree puts the executable one folder below the prefix (bin/).
constexpr int kSlashesToPrefix = 2;

bool isFolder(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

std::optional<std::string> executablePath()
{
    char buffer[kPathBufferSize];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) {
        const int savedErrno = length <= 0 ? errno : ENAMETOOLONG;
        std::fprintf(stderr, "PID %d: proc_pidpath ();\n", static_cast<int>(getpid()));
        std::fprintf(stderr, "    %s\n", std::strerror(savedErrno));
        return std::nullopt;
    }
    return std::string(buffer, static_cast<std::size_t>(length));
}

} // namespace

std::string resourceFolderForExecutable(std::string_view executablePath, std::string_view installSubfolder)
{
    if (installSubfolder.starts_with('/'))
        return std::string(installSubfolder);
    std::string_view prefix = executablePath;
    int slashes = 0;
    for (std::size_t i = executablePath.size(); i-- > 1;) {
        if (executablePath[i] == '/' && ++slashes == kSlashesToPrefix) {
            prefix = executablePath.substr(0, i + 1);
            break;
        }
    }
    std::string folder(prefix);
    folder += installSubfolder;
    return folder;
}

std::string existingResourceFolder(const std::string& installFolder, const std::string& buildFolder)
{
    if (isFolder(installFolder) || buildFolder.empty() || !isFolder(buildFolder))
        return installFolder;
    return buildFolder;
}

std::optional<std::string> getHomeDir()
{
    const std::optional<std::string> executable = executablePath();
    if (!executable)
        return std::nullopt;
    return existingResourceFolder(resourceFolderForExecutable(*executable, TomefoldPaths::kResourceInstallDir),
                                  TomefoldPaths::kBuildResourceDir);
}

} // namespace PDFCore
