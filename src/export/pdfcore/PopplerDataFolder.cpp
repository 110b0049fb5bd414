#include "export/pdfcore/PopplerDataFolder.h"

#include <Error.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace PDFCore {

namespace {

constexpr CharCode kMaxCode = 0xFFFF;

void writeFile(const fs::path& path, const std::string& contents)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    if (!out)
        error(errIO, -1, "Couldn't write '{0:s}'", path.string().c_str());
}

void createFolder(const fs::path& path)
{
    std::error_code ignored;
    fs::create_directories(path, ignored);
}

// Links every file of `source` into `target` whose name is not there yet: earlier folders win.
void linkFilesOf(const fs::path& source, const fs::path& target)
{
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(source, error)) {
        std::error_code ignored;
        if (!entry.is_regular_file(ignored))
            continue;
        const fs::path link = target / entry.path().filename();
        if (!fs::exists(fs::symlink_status(link, ignored)))
            fs::create_symlink(entry.path(), link, ignored);
    }
}

// The collections Poppler will not lay out without a map.
bool isAdobeCJKCollection(const std::string& collection)
{
    return collection == "Adobe-GB1" || collection == "Adobe-CNS1" || collection == "Adobe-Japan1"
           || collection == "Adobe-Korea1";
}

} // namespace

std::unique_ptr<PopplerDataFolder> PopplerDataFolder::create(const CoreSettings& settings)
{
    std::unique_ptr<PopplerDataFolder> data(new PopplerDataFolder());
    data->folder.setAutoRemove(true);
    if (!data->folder.isValid())
        return nullptr;
    data->folderPath = QDir(data->folder.path()).absolutePath().toStdString();
    data->writeNameToUnicode(settings);
    data->writeCIDToUnicode(settings);
    data->linkUnicodeMaps(settings);
    data->gatherCMapFolders(settings);
    return data;
}

void PopplerDataFolder::writeNameToUnicode(const CoreSettings& settings) const
{
    if (settings.nameToUnicode.empty())
        return;
    const fs::path folderOfNames = fs::path(folderPath) / "nameToUnicode";
    createFolder(folderOfNames);
    std::string text;
    char value[16];
    for (const auto& [name, unicode] : settings.nameToUnicode) {
        std::snprintf(value, sizeof value, "%04x", unicode);
        text += std::string(value) + " " + name + "\n";
    }
    // One file keeps the settings' order, so a later line for a name still wins.
    writeFile(folderOfNames / "settings", text);
}

void PopplerDataFolder::writeCIDToUnicode(const CoreSettings& settings) const
{
    const fs::path folderOfMaps = fs::path(folderPath) / "cidToUnicode";
    for (const auto& [collection, file] : settings.cidToUnicodeFiles) {
        // A missing map shows when a font of its collection asks for it (CoreTextMaps), not here.
        std::error_code ignored;
        std::optional<CIDToUnicodeMap> map;
        if (fs::is_regular_file(file, ignored))
            map = parseCIDToUnicodeCMap(file, collection, settings.toUnicodeDirs);
        // Poppler drops a font of the Adobe CJK collections that it has no map for, and the text
        // device would never ask for the file: an empty map keeps the font, and the device reads
        // the file (or reports it missing) when the font's text is laid out.
        if (!map && !isAdobeCJKCollection(collection))
            continue;
        createFolder(folderOfMaps);
        writeFile(folderOfMaps / collection, map ? popplerCIDToUnicodeText(*map) : std::string("0\n"));
    }
}

void PopplerDataFolder::linkUnicodeMaps(const CoreSettings& settings) const
{
    const fs::path folderOfMaps = fs::path(folderPath) / "unicodeMap";
    for (const auto& [encoding, file] : settings.unicodeMapFiles) {
        createFolder(folderOfMaps);
        // A missing map file shows when an encoding of its name is asked for, as it should.
        std::error_code ignored;
        fs::create_symlink(file, folderOfMaps / encoding, ignored);
    }
}

void PopplerDataFolder::gatherCMapFolders(const CoreSettings& settings) const
{
    const fs::path folderOfCMaps = fs::path(folderPath) / "cMap";
    for (const auto& [collection, folders] : settings.cMapDirs) {
        createFolder(folderOfCMaps / collection);
        for (const std::string& source : folders)
            linkFilesOf(source, folderOfCMaps / collection);
    }
    if (settings.toUnicodeDirs.empty())
        return;
    createFolder(folderOfCMaps / kToUnicodeFolderName);
    for (const std::string& source : settings.toUnicodeDirs)
        linkFilesOf(source, folderOfCMaps / kToUnicodeFolderName);
}

std::string popplerCIDToUnicodeText(const CIDToUnicodeMap& map)
{
    std::string text;
    CharCode next = 0;
    char value[16];
    for (const auto& [code, sequence] : map.entries) {
        if (code > kMaxCode)
            break;
        for (; next < code; ++next)
            text += "0\n";
        std::snprintf(value, sizeof value, "%x\n", sequence.length > 0 ? sequence.values[0] : 0u);
        text += value;
        next = code + 1;
    }
    return text;
}

} // namespace PDFCore
