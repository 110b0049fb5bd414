#pragma once

#include "export/pdfcore/CoreSettings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace PDFCore {

// Reads the core's settings file ("xpdfrc" syntax: one command per line, blank-separated words,
// words quoted with " or ', lines starting with # ignored) into a `CoreSettings` record.
// The commands nameToUnicode, cidToUnicode, unicodeMap, cMapDir and toUnicodeDir take their path
// relative to the resources folder: the path is appended to the folder exactly as written, so settings
// files write it with a leading "/". Without a resources folder these commands add nothing.
// Problems are reported through the core's error channel and the offending line is ignored.
// Included and named files are read only when they are regular files of a bounded size, includes
// nest at most 16 deep, and at most 256 files are included in all.
class CoreSettingsReader
{
public:
    explicit CoreSettingsReader(std::optional<std::string> resourceFolder);

    // `fileName` names the file in messages and detects a file that includes itself.
    void parseFile(const std::string& fileName, std::string_view contents);

    const CoreSettings& settings() const { return result; }

private:
    using Tokens = std::vector<std::string>;

    void parseLine(const Tokens& tokens, const std::string& fileName, int line);
    void parseInclude(const Tokens& tokens, const std::string& fileName, int line);
    void parseNameToUnicode(const Tokens& tokens, const std::string& fileName, int line);
    void parseCIDToUnicode(const Tokens& tokens, const std::string& fileName, int line);
    void parseUnicodeMap(const Tokens& tokens, const std::string& fileName, int line);
    void parseCMapDir(const Tokens& tokens, const std::string& fileName, int line);
    void parseToUnicodeDir(const Tokens& tokens, const std::string& fileName, int line);
    void parseUnicodeToUnicode(const Tokens& tokens, const std::string& fileName, int line);
    void parseFontFile(const Tokens& tokens, const std::string& fileName, int line);

    void readNameToUnicodeFile(const std::string& path, const std::string& asWritten);
    std::optional<std::string> inResourceFolder(const std::string& path) const;

    std::optional<std::string> resourceFolder;
    CoreSettings result;
    std::vector<std::string> filesBeingRead;
    int includedFiles = 0;
};

// The words of one settings-file line.
std::vector<std::string> settingsLineTokens(std::string_view line);

// The lines of a text file ending in LF, CR or CR LF.
std::vector<std::string_view> textFileLines(std::string_view contents);

} // namespace PDFCore
