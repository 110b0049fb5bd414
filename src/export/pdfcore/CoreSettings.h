#pragma once

#include <CharTypes.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace PDFCore {

// What the core's settings file asked for, with the paths of the resource-relative commands already
// joined to the resources folder. Later entries for the same name replace earlier ones where the
// commands say so; lists keep the file's order.
struct CoreSettings
{
    std::vector<std::pair<std::string, Unicode>> nameToUnicode; // character name, Unicode value
    std::map<std::string, std::string> cidToUnicodeFiles;        // collection -> CMap file
    std::map<std::string, std::string> unicodeMapFiles;          // encoding name -> map file
    std::vector<std::pair<std::string, std::vector<std::string>>> cMapDirs; // collection -> folders
    std::vector<std::string> toUnicodeDirs;
    std::map<std::string, std::string> unicodeToUnicodeFiles;    // font name -> file, as written
    std::map<std::string, std::string> fontFiles;                // font name -> file, as written

    std::vector<std::string>& cMapDirsOf(const std::string& collection);
};

} // namespace PDFCore
