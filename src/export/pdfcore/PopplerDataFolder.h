#pragma once

#include "export/pdfcore/CIDToUnicodeMap.h"
#include "export/pdfcore/CoreSettings.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>
#include <string>

namespace PDFCore {

// A private data folder laid out the way Poppler's settings read one (nameToUnicode/, cidToUnicode/,
// unicodeMap/, cMap/<collection>/), holding what the core's settings file asked for. Poppler reads no
// settings file of its own; handing it this folder is how the settings take effect.
// The folder is removed with the object, which must outlive the settings that read it.
class PopplerDataFolder
{
public:
    // Name of the cMap/ subfolder that gathers the ToUnicode CMap folders.
    static constexpr const char* kToUnicodeFolderName = "ToUnicode";

    // None when no temporary folder can be made.
    static std::unique_ptr<PopplerDataFolder> create(const CoreSettings& settings);

    const std::string& path() const { return folderPath; }

private:
    PopplerDataFolder() = default;

    void writeNameToUnicode(const CoreSettings& settings) const;
    void writeCIDToUnicode(const CoreSettings& settings) const;
    void linkUnicodeMaps(const CoreSettings& settings) const;
    void gatherCMapFolders(const CoreSettings& settings) const;

    QTemporaryDir folder{QDir::tempPath() + QStringLiteral("/tomefold-pdfcore-XXXXXX")};
    std::string folderPath;
};

// A CID-to-Unicode map in the layout Poppler's data folder holds: one line per character id from 0,
// the hexadecimal Unicode value (0 for none). Poppler's layout keeps one value per id, so a sequence
// is given as its first value (the export's text device applies the whole, see CoreTextMaps);
// Poppler needs the map to accept fonts of the Adobe CJK collections at all. Ids beyond 16 bits,
// which no font uses, are left out.
std::string popplerCIDToUnicodeText(const CIDToUnicodeMap& map);

} // namespace PDFCore
