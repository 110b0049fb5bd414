#include "export/pdfcore/SettingsFileLookup.h"

#include "common/FileDescriptor.h"

#include <cerrno>
#include <cstdint>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PDFCore {

std::optional<std::string> readWholeFile(const std::string& path)
{
    if (path.empty())
        return std::nullopt;
    // Non-blocking, so that opening a FIFO does not wait for a writer; the descriptor is then
    // looked at before a byte is read.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat status {};
    if (!file.isOpen() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)
        || static_cast<std::uintmax_t>(status.st_size) > kMaximumSettingsFileBytes)
        return std::nullopt;
    std::string contents;
    char buffer[16384];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            return contents;
        contents.append(buffer, static_cast<std::size_t>(count));
        if (contents.size() > kMaximumSettingsFileBytes) // grew while being read
            return std::nullopt;
    }
}

std::optional<SettingsFile> findSettingsFile(const SettingsFileSources& sources)
{
    std::vector<std::string> candidates;
    if (!sources.requestedName.empty())
        candidates.push_back(sources.requestedName);
    if (sources.resourceFolder)
        candidates.push_back(*sources.resourceFolder + "/" + kSettingsFileName);
    candidates.push_back(sources.currentFolder.empty() ? std::string(kSettingsFileName)
                                                       : sources.currentFolder + "/" + kSettingsFileName);
    for (const std::string& candidate : candidates) {
        if (std::optional<std::string> contents = readWholeFile(candidate))
            return SettingsFile{candidate, std::move(*contents)};
    }
    return std::nullopt;
}

} // namespace PDFCore
