#pragma once

#include "export/pdfcore/CIDToUnicodeMap.h"
#include "export/pdfcore/CoreSettings.h"

#include <CharTypes.h>

#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class GfxFont;
class GlobalParams;

namespace PDFCore {

// A font's Unicode-to-Unicode map: the text of each listed Unicode value replaced by a sequence.
struct UnicodeToUnicodeMap
{
    std::string fileName;
    std::map<Unicode, UnicodeSequence> entries;
};

// Reads a unicodeToUnicode file: per line, a hexadecimal Unicode value and one to eight
// hexadecimal values it becomes. Bad lines are reported and passed over; none when the file does
// not open (reported).
std::optional<UnicodeToUnicodeMap> parseUnicodeToUnicode(const std::string& fileName);

// Maps of a fixed number of places, front first: a map found anywhere moves to the front; a new
// one goes in front and pushes the last one out. Callers share the maps they were handed.
template <typename Map>
class MapCache
{
public:
    static constexpr std::size_t kPlaces = 4;

    std::shared_ptr<const Map> find(const std::string& tag)
    {
        for (auto it = places.begin(); it != places.end(); ++it) {
            if (it->first == tag) {
                places.splice(places.begin(), places, it);
                return places.front().second;
            }
        }
        return nullptr;
    }

    void add(const std::string& tag, std::shared_ptr<const Map> map)
    {
        places.emplace_front(tag, std::move(map));
        if (places.size() > kPlaces)
            places.pop_back();
    }

private:
    std::list<std::pair<std::string, std::shared_ptr<const Map>>> places;
};

// The character maps of the core's settings that Poppler cannot take as they are: CID-to-Unicode
// maps whose ids stand for several characters ("fi"), and Unicode-to-Unicode maps of fonts by name.
// The export's text device applies them to each character it is given. Maps are read when first
// asked for and kept in four-place caches; a map whose file did not open is tried again when next
// asked for. Safe to use from several threads.
class CoreTextMaps
{
public:
    explicit CoreTextMaps(const CoreSettings& settings);

    // The map of a character collection, read from the file the settings name for it; null when
    // they name none or it cannot be read.
    std::shared_ptr<const CIDToUnicodeMap> getCIDToUnicode(const std::string& collection);
    // The map of the first unicodeToUnicode entry whose font-name pattern occurs in the name.
    std::shared_ptr<const UnicodeToUnicodeMap> getUnicodeToUnicode(const std::string& fontName);

    // The maps that go with the core's settings object; null for settings made elsewhere.
    static std::shared_ptr<CoreTextMaps> forSettings(const GlobalParams* params);
    // Makes the maps known as those of `params` until the returned handle goes.
    static std::shared_ptr<void> registerForSettings(const GlobalParams* params, std::shared_ptr<CoreTextMaps> maps);

private:
    std::map<std::string, std::string> cidToUnicodeFiles;
    std::vector<std::string> toUnicodeDirs;
    std::vector<std::pair<std::string, std::string>> unicodeToUnicodeFiles;  // pattern -> file, in order

    std::mutex mutex;
    MapCache<CIDToUnicodeMap> cidToUnicodeCache;
    MapCache<UnicodeToUnicodeMap> unicodeToUnicodeCache;
};

// The text of one character as a text device gets it, with the settings' maps applied.
class FontTextMapping
{
public:
    explicit FontTextMapping(std::shared_ptr<CoreTextMaps> maps)
        : textMaps(std::move(maps))
    {}

    // Forgets what it learnt of fonts (they may go away with their page).
    void reset() { fonts.clear(); }

    // True, with `out` filled, when the maps change the text of character `code` of `font`, which
    // the core gave as u[0 .. length).
    bool map(const GfxFont& font, CharCode code, const Unicode* u, int length, UnicodeSequence& out);

private:
    struct FontMaps
    {
        std::shared_ptr<const CIDToUnicodeMap> cidToUnicode;
        std::shared_ptr<const UnicodeToUnicodeMap> unicodeToUnicode;
    };
    const FontMaps& mapsOf(const GfxFont& font);

    std::shared_ptr<CoreTextMaps> textMaps;
    std::map<const GfxFont*, FontMaps> fonts;
};

}  // namespace PDFCore
