#include "export/pdfcore/CoreTextMaps.h"

#include "export/pdfcore/CoreSettingsReader.h"
#include "export/pdfcore/SettingsFileLookup.h"

#include <Error.h>
#include <GfxFont.h>

#include <charconv>

namespace PDFCore {

namespace {

std::optional<Unicode> parseHex(const std::string& word)
{
    Unicode value = 0;
    const auto [end, status] = std::from_chars(word.data(), word.data() + word.size(), value, 16);
    if (status != std::errc() || end != word.data() + word.size() || word.empty())
        return std::nullopt;
    return value;
}

void reportBadLine(int line, const std::string& fileName)
{
    error(errSyntaxWarning, -1, "The unicodeToUnicode file '{0:s}' has a line {1:d} without a code to map; it is passed over",
          fileName.c_str(), line);
}

// Settings objects and their maps. The settings object is the core's one global; this table only
// lets the text device find what belongs to it.
struct Registry
{
    std::mutex mutex;
    std::map<const GlobalParams*, std::weak_ptr<CoreTextMaps>> maps;
};

// Never destroyed: settings that live until the process ends unregister after other statics go.
Registry& registry()
{
    static Registry* const instance = new Registry;
    return *instance;
}

bool isIdentityCollection(const std::string& collection)
{
    return collection == "Adobe-Identity" || collection == "Adobe-UCS";
}

}  // namespace

std::optional<UnicodeToUnicodeMap> parseUnicodeToUnicode(const std::string& fileName)
{
    const std::optional<std::string> text = readWholeFile(fileName);
    if (!text) {
        error(errSyntaxError, -1, "The unicodeToUnicode file '{0:s}' cannot be read", fileName.c_str());
        return std::nullopt;
    }
    UnicodeToUnicodeMap map;
    map.fileName = fileName;
    int line = 0;
    for (const std::string_view lineText : textFileLines(*text)) {
        ++line;
        const std::vector<std::string> words = settingsLineTokens(lineText);
        const std::optional<Unicode> from = words.empty() ? std::nullopt : parseHex(words.front());
        if (!from) {
            reportBadLine(line, fileName);
            continue;
        }
        UnicodeSequence to;
        for (std::size_t i = 1; i < words.size() && to.length < UnicodeSequence::kMaxLength; ++i) {
            const std::optional<Unicode> value = parseHex(words[i]);
            if (!value) {
                reportBadLine(line, fileName);
                break;
            }
            to.values[to.length++] = *value;
        }
        if (to.length == 0) {
            reportBadLine(line, fileName);
            continue;
        }
        map.entries[*from] = to;
    }
    return map;
}

CoreTextMaps::CoreTextMaps(const CoreSettings& settings)
    : cidToUnicodeFiles(settings.cidToUnicodeFiles)
    , toUnicodeDirs(settings.toUnicodeDirs)
    , unicodeToUnicodeFiles(settings.unicodeToUnicodeFiles.begin(), settings.unicodeToUnicodeFiles.end())
{
}

std::shared_ptr<const CIDToUnicodeMap> CoreTextMaps::getCIDToUnicode(const std::string& collection)
{
    const std::lock_guard guard(mutex);
    if (std::shared_ptr<const CIDToUnicodeMap> cached = cidToUnicodeCache.find(collection))
        return cached;
    const auto file = cidToUnicodeFiles.find(collection);
    if (file == cidToUnicodeFiles.end())
        return nullptr;
    // Not cached when it fails, so that the next request reads the file again.
    std::optional<CIDToUnicodeMap> map = parseCIDToUnicodeCMap(file->second, collection, toUnicodeDirs);
    if (!map)
        return nullptr;
    auto shared = std::make_shared<const CIDToUnicodeMap>(std::move(*map));
    cidToUnicodeCache.add(collection, shared);
    return shared;
}

std::shared_ptr<const UnicodeToUnicodeMap> CoreTextMaps::getUnicodeToUnicode(const std::string& fontName)
{
    const std::lock_guard guard(mutex);
    for (const auto& [pattern, fileName] : unicodeToUnicodeFiles) {
        if (fontName.find(pattern) == std::string::npos)
            continue;
        if (std::shared_ptr<const UnicodeToUnicodeMap> cached = unicodeToUnicodeCache.find(fileName))
            return cached;
        std::optional<UnicodeToUnicodeMap> map = parseUnicodeToUnicode(fileName);
        if (!map)
            return nullptr;
        auto shared = std::make_shared<const UnicodeToUnicodeMap>(std::move(*map));
        unicodeToUnicodeCache.add(fileName, shared);
        return shared;
    }
    return nullptr;
}

std::shared_ptr<CoreTextMaps> CoreTextMaps::forSettings(const GlobalParams* params)
{
    Registry& table = registry();
    const std::lock_guard guard(table.mutex);
    const auto found = table.maps.find(params);
    return found == table.maps.end() ? nullptr : found->second.lock();
}

std::shared_ptr<void> CoreTextMaps::registerForSettings(const GlobalParams* params, std::shared_ptr<CoreTextMaps> maps)
{
    Registry& table = registry();
    {
        const std::lock_guard guard(table.mutex);
        table.maps[params] = maps;
    }
    // Keeps the maps while the handle lives; forgets them with it.
    return std::shared_ptr<void>(nullptr, [params, maps](void*) {
        Registry& known = registry();
        const std::lock_guard guard(known.mutex);
        const auto found = known.maps.find(params);
        if (found != known.maps.end() && found->second.lock() == maps)
            known.maps.erase(found);
    });
}

const FontTextMapping::FontMaps& FontTextMapping::mapsOf(const GfxFont& font)
{
    const auto known = fonts.find(&font);
    if (known != fonts.end())
        return known->second;
    FontMaps maps;
    if (textMaps) {
        // As the core does for a CID-keyed font without a ToUnicode map of its own.
        if (font.isCIDFont() && !font.hasToUnicodeCMap()) {
            const GooString* collection = static_cast<const GfxCIDFont&>(font).getCollection();
            if (collection && !isIdentityCollection(collection->toStr()))
                maps.cidToUnicode = textMaps->getCIDToUnicode(collection->toStr());
        }
        if (font.getName())
            maps.unicodeToUnicode = textMaps->getUnicodeToUnicode(*font.getName());
    }
    return fonts.emplace(&font, std::move(maps)).first->second;
}

bool FontTextMapping::map(const GfxFont& font, CharCode code, const Unicode* u, int length, UnicodeSequence& out)
{
    const FontMaps& maps = mapsOf(font);
    if (!maps.cidToUnicode && !maps.unicodeToUnicode)
        return false;
    bool changed = false;
    out.length = 0;
    for (int i = 0; i < length && out.length < UnicodeSequence::kMaxLength; ++i)
        out.values[out.length++] = u[i];
    if (maps.cidToUnicode) {
        // For such fonts the core hands the character id as the code.
        const auto entry = maps.cidToUnicode->entries.find(code);
        if (entry != maps.cidToUnicode->entries.end() && entry->second.length > 0) {
            out = entry->second;
            changed = true;
        }
    }
    if (maps.unicodeToUnicode && out.length > 0) {
        const auto entry = maps.unicodeToUnicode->entries.find(out.values[0]);
        if (entry != maps.unicodeToUnicode->entries.end()) {
            out = entry->second;
            changed = true;
        }
    }
    return changed;
}

}  // namespace PDFCore
