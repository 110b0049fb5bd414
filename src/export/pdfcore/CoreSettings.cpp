#include "export/pdfcore/CoreSettings.h"

#include <algorithm>

namespace PDFCore {

std::vector<std::string>& CoreSettings::cMapDirsOf(const std::string& collection)
{
    auto found = std::find_if(cMapDirs.begin(), cMapDirs.end(),
                              [&](const auto& entry) { return entry.first == collection; });
    if (found == cMapDirs.end())
        return cMapDirs.emplace_back(collection, std::vector<std::string>{}).second;
    return found->second;
}

} // namespace PDFCore
