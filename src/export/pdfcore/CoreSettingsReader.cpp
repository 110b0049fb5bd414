#include "export/pdfcore/CoreSettingsReader.h"

#include "export/pdfcore/SettingsFileLookup.h"

#include <Error.h>

#include <algorithm>
#include <charconv>
#include <filesystem>

namespace PDFCore {

namespace {

// Nesting that no sensible settings file reaches; deeper includes are taken for a loop.
constexpr std::size_t kMaxIncludeDepth = 16;
// Files that include others several times each would multiply, level by level, within that depth.
constexpr int kMaxIncludedFiles = 256;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Collections and encodings name files of the core's data folder.
bool isUsableAsFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos
           && name.find('\0') == std::string::npos;
}

void reportBadCommand(const char* command, const std::string& fileName, int line)
{
    const std::string message = std::string("Bad '") + command + "' config file command ({0:s}:{1:d})";
    error(errConfig, -1, message.c_str(), fileName.c_str(), line);
}

std::optional<Unicode> parseHexValue(std::string_view text)
{
    Unicode value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (status != std::errc() || end == text.data())
        return std::nullopt;
    return value;
}

std::string canonicalName(const std::string& fileName)
{
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(fileName, error);
    return error ? fileName : canonical.string();
}

} // namespace

std::vector<std::string_view> textFileLines(std::string_view contents)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < contents.size()) {
        std::size_t end = contents.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(contents.substr(start));
            break;
        }
        lines.push_back(contents.substr(start, end - start));
        if (contents[end] == '\r' && end + 1 < contents.size() && contents[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> settingsLineTokens(std::string_view line)
{
    std::vector<std::string> tokens;
    std::size_t p = 0;
    while (p < line.size()) {
        while (p < line.size() && isBlank(line[p]))
            ++p;
        if (p == line.size())
            break;
        std::size_t end;
        if (line[p] == '"' || line[p] == '\'') {
            end = line.find(line[p], p + 1);
            if (end == std::string_view::npos)
                end = line.size();
            tokens.emplace_back(line.substr(p + 1, end - p - 1));
        } else {
            end = p + 1;
            while (end < line.size() && !isBlank(line[end]))
                ++end;
            tokens.emplace_back(line.substr(p, end - p));
        }
        // The character that ended the word (closing quote or blank) belongs to no word.
        p = end + 1;
    }
    return tokens;
}

CoreSettingsReader::CoreSettingsReader(std::optional<std::string> folder) : resourceFolder(std::move(folder)) {}

void CoreSettingsReader::parseFile(const std::string& fileName, std::string_view contents)
{
    filesBeingRead.push_back(canonicalName(fileName));
    int line = 0;
    for (const std::string_view text : textFileLines(contents)) {
        ++line;
        const Tokens tokens = settingsLineTokens(text);
        if (!tokens.empty() && !tokens.front().starts_with('#'))
            parseLine(tokens, fileName, line);
    }
    filesBeingRead.pop_back();
}

void CoreSettingsReader::parseLine(const Tokens& tokens, const std::string& fileName, int line)
{
    const std::string& command = tokens.front();
    if (command == "include")
        parseInclude(tokens, fileName, line);
    else if (command == "nameToUnicode")
        parseNameToUnicode(tokens, fileName, line);
    else if (command == "cidToUnicode")
        parseCIDToUnicode(tokens, fileName, line);
    else if (command == "unicodeToUnicode")
        parseUnicodeToUnicode(tokens, fileName, line);
    else if (command == "unicodeMap")
        parseUnicodeMap(tokens, fileName, line);
    else if (command == "cMapDir")
        parseCMapDir(tokens, fileName, line);
    else if (command == "toUnicodeDir")
        parseToUnicodeDir(tokens, fileName, line);
    else if (command == "fontFile")
        parseFontFile(tokens, fileName, line);
    else
        error(errConfig, -1, "Unknown config file command '{0:s}' ({1:s}:{2:d})", command.c_str(), fileName.c_str(),
              line);
}

void CoreSettingsReader::parseInclude(const Tokens& tokens, const std::string& fileName, int line)
{
    if (tokens.size() != 2) {
        reportBadCommand("include", fileName, line);
        return;
    }
    const std::string& included = tokens[1];
    const bool loops = filesBeingRead.size() >= kMaxIncludeDepth
                       || std::ranges::find(filesBeingRead, canonicalName(included)) != filesBeingRead.end();
    if (loops) {
        error(errConfig, -1, "Config file '{0:s}' includes itself ({1:s}:{2:d})", included.c_str(),
              fileName.c_str(), line);
        return;
    }
    if (includedFiles >= kMaxIncludedFiles) {
        error(errConfig, -1, "Too many included config files: '{0:s}' ({1:s}:{2:d})", included.c_str(),
              fileName.c_str(), line);
        return;
    }
    ++includedFiles;
    const std::optional<std::string> contents = readWholeFile(included);
    if (!contents) {
        error(errConfig, -1, "Couldn't find included config file: '{0:s}' ({1:s}:{2:d})", included.c_str(),
              fileName.c_str(), line);
        return;
    }
    parseFile(included, *contents);
}

void CoreSettingsReader::parseNameToUnicode(const Tokens& tokens, const std::string& fileName, int line)
{
    if (tokens.size() != 2) {
        reportBadCommand("nameToUnicode", fileName, line);
        return;
    }
    if (const std::optional<std::string> path = inResourceFolder(tokens[1]))
        readNameToUnicodeFile(*path, tokens[1]);
}

void CoreSettingsReader::readNameToUnicodeFile(const std::string& path, const std::string& asWritten)
{
    const std::optional<std::string> contents = readWholeFile(path);
    if (!contents) {
        error(errConfig, -1, "Couldn't open 'nameToUnicode' file '{0:s}'", asWritten.c_str());
        return;
    }
    int line = 0;
    for (const std::string_view text : textFileLines(*contents)) {
        ++line;
        const Tokens words = settingsLineTokens(text);
        const std::optional<Unicode> value = words.size() >= 2 ? parseHexValue(words[0]) : std::nullopt;
        if (!value) {
            error(errConfig, -1, "Bad line in 'nameToUnicode' file ({0:s}:{1:d})", path.c_str(), line);
            continue;
        }
        result.nameToUnicode.emplace_back(words[1], *value);
    }
}

void CoreSettingsReader::parseCIDToUnicode(const Tokens& tokens, const std::string& fileName, int line)
{
    if (tokens.size() != 3 || !isUsableAsFileName(tokens[1])) {
        reportBadCommand("cidToUnicode", fileName, line);
        return;
    }
    result.cidToUnicodeFiles.erase(tokens[1]);
    if (const std::optional<std::string> path = inResourceFolder(tokens[2]))
        result.cidToUnicodeFiles[tokens[1]] = *path;
}

void CoreSettingsReader::parseUnicodeMap(const Tokens& tokens, const std::string& fileName, int line)
{
    if (tokens.size() != 3 || !isUsableAsFileName(tokens[1])) {
        reportBadCommand("unicodeMap", fileName, line);
        return;
    }
    result.unicodeMapFiles.erase(tokens[1]);
    if (const std::optional<std::string> path = inResourceFolder(tokens[2]))
        result.unicodeMapFiles[tokens[1]] = *path;
}

void CoreSettingsReader::parseCMapDir(const Tokens& tokens, const std::string& fileName, int line)
{
    if (tokens.size() != 3 || !isUsableAsFileName(tokens[1])) {
        reportBadCommand("cMapDir", fileName, line);
        return;
    }
    std::vector<std::string>& folders = result.cMapDirsOf(tokens[1]);
    if (const std::optional<std::string> path = inResourceFolder(tokens[2]))
        folders.push_back(*path);
}

void CoreSettingsReader::parseToUnicodeDir(const Tokens& tokens, const std::string& fileName, int line)
{
    if (tokens.size() != 2) {
        reportBadCommand("toUnicodeDir", fileName, line);
        return;
    }
    if (const std::optional<std::string> path = inResourceFolder(tokens[1]))
        result.toUnicodeDirs.push_back(*path);
}

void CoreSettingsReader::parseUnicodeToUnicode(const Tokens& tokens, const std::string& fileName, int line)
{
    if (tokens.size() != 3) {
        reportBadCommand("unicodeToUnicode", fileName, line);
        return;
    }
    result.unicodeToUnicodeFiles[tokens[1]] = tokens[2];
}

void CoreSettingsReader::parseFontFile(const Tokens& tokens, const std::string& fileName, int line)
{
    if (tokens.size() != 3) {
        reportBadCommand("fontFile", fileName, line);
        return;
    }
    result.fontFiles[tokens[1]] = tokens[2];
}

std::optional<std::string> CoreSettingsReader::inResourceFolder(const std::string& path) const
{
    if (!resourceFolder)
        return std::nullopt;
    return *resourceFolder + path;
}

} // namespace PDFCore
