#include "export/pdfcore/SettingsFileLookup.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

namespace PDFCore {

std::optional<std::string> readWholeFile(const std::string& path)
{
    std::error_code error;
    if (path.empty() || std::filesystem::is_directory(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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
