#include "export/pdfcore/CIDToUnicodeMap.h"

#include "export/pdfcore/CMapTokenizer.h"
#include "export/pdfcore/SettingsFileLookup.h"

#include <Error.h>

#include <algorithm>
#include <charconv>

namespace PDFCore {

namespace {

constexpr CharCode kMaxCode = 0xFFFF;

// Nesting of usecmap that no real CMap reaches; deeper chains are taken for a loop.
constexpr std::size_t kMaxUseDepth = 16;

bool isHexWord(const std::string& word)
{
    return word.size() >= 2 && word.front() == '<' && word.back() == '>';
}

std::string_view hexDigits(const std::string& word)
{
    return std::string_view(word).substr(1, word.size() - 2);
}

// The leading hexadecimal digits of `digits`; none when there are none. Too many digits saturate.
std::optional<std::uint32_t> parseHex(std::string_view digits)
{
    std::uint64_t value = 0;
    const char* first = digits.data();
    const char* last = first + digits.size();
    const auto [end, status] = std::from_chars(first, last, value, 16);
    if (end == first)
        return std::nullopt;
    if (status == std::errc::result_out_of_range || value > 0xFFFFFFFFu)
        return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(value);
}

void warn(const char* message)
{
    error(errSyntaxWarning, -1, message);
}

class ToUnicodeCMapReader
{
public:
    ToUnicodeCMapReader(CIDToUnicodeMap& target, const ToUnicodeCMapFinder& finder) : map(target), find(finder) {}

    void read(std::string_view text);

private:
    void useCMap(const std::string& name);
    void readCharBlock(CMapTokenizer& words);
    void readRangeBlock(CMapTokenizer& words);
    void readRangeArray(CMapTokenizer& words, CharCode first, CharCode last);
    void addMapping(CharCode code, std::string_view digits, Unicode offset);

    CIDToUnicodeMap& map;
    const ToUnicodeCMapFinder& find;
    std::vector<std::string> namesBeingRead;
};

void ToUnicodeCMapReader::read(std::string_view text)
{
    CMapTokenizer words(text);
    std::string previous = words.next().value_or(std::string());
    while (std::optional<std::string> word = words.next()) {
        if (*word == "usecmap") {
            if (previous.starts_with('/'))
                useCMap(previous.substr(1));
            previous = words.next().value_or(std::string());
        } else if (*word == "beginbfchar") {
            readCharBlock(words);
            previous = words.next().value_or(std::string());
        } else if (*word == "beginbfrange") {
            readRangeBlock(words);
            previous = words.next().value_or(std::string());
        } else {
            previous = std::move(*word);
        }
    }
}

void ToUnicodeCMapReader::useCMap(const std::string& name)
{
    if (namesBeingRead.size() >= kMaxUseDepth || std::ranges::find(namesBeingRead, name) != namesBeingRead.end()) {
        error(errSyntaxError, -1, "ToUnicode CMap '{0:s}' uses itself", name.c_str());
        return;
    }
    const std::optional<std::string> text = find ? find(name) : std::nullopt;
    if (!text) {
        error(errSyntaxError, -1, "Couldn't find ToUnicode CMap file for '{0:s}'", name.c_str());
        return;
    }
    namesBeingRead.push_back(name);
    read(*text);
    namesBeingRead.pop_back();
}

void ToUnicodeCMapReader::readCharBlock(CMapTokenizer& words)
{
    while (std::optional<std::string> code = words.next()) {
        if (*code == "endbfchar")
            return;
        const std::optional<std::string> value = words.next();
        if (!value || *value == "endbfchar") {
            warn("Illegal entry in bfchar block in ToUnicode CMap");
            return;
        }
        const std::optional<std::uint32_t> parsed = isHexWord(*code) && isHexWord(*value)
                                                        ? parseHex(hexDigits(*code))
                                                        : std::nullopt;
        if (!parsed) {
            warn("Illegal entry in bfchar block in ToUnicode CMap");
            continue;
        }
        if (*parsed > kMaxCode)
            warn("Invalid entry in bfchar block in ToUnicode CMap");
        addMapping(*parsed, hexDigits(*value), 0);
    }
}

void ToUnicodeCMapReader::readRangeBlock(CMapTokenizer& words)
{
    while (std::optional<std::string> firstWord = words.next()) {
        if (*firstWord == "endbfrange")
            return;
        const std::optional<std::string> lastWord = words.next();
        const std::optional<std::string> value =
            lastWord && *lastWord != "endbfrange" ? words.next() : std::optional<std::string>();
        if (!lastWord || *lastWord == "endbfrange" || !value || *value == "endbfrange") {
            warn("Illegal entry in bfrange block in ToUnicode CMap");
            return;
        }
        std::optional<std::uint32_t> first;
        std::optional<std::uint32_t> last;
        if (isHexWord(*firstWord) && isHexWord(*lastWord)) {
            first = parseHex(hexDigits(*firstWord));
            last = parseHex(hexDigits(*lastWord));
        }
        if (!first || !last) {
            warn("Illegal entry in bfrange block in ToUnicode CMap");
            continue;
        }
        if (*first > kMaxCode || *last > kMaxCode) {
            warn("Invalid entry in bfrange block in ToUnicode CMap");
            last = std::min<std::uint32_t>(*last, kMaxCode);
        }
        if (*value == "[") {
            readRangeArray(words, *first, *last);
        } else if (isHexWord(*value)) {
            Unicode offset = 0;
            for (CharCode code = *first; code <= *last; ++code, ++offset)
                addMapping(code, hexDigits(*value), offset);
        } else {
            warn("Illegal entry in bfrange block in ToUnicode CMap");
        }
    }
}

void ToUnicodeCMapReader::readRangeArray(CMapTokenizer& words, CharCode first, CharCode last)
{
    CharCode code = first;
    while (std::optional<std::string> word = words.next()) {
        if (*word == "]")
            return;
        if (code > last)
            continue; // values beyond the range are passed over up to the array's end
        if (isHexWord(*word))
            addMapping(code, hexDigits(*word), 0);
        else
            warn("Illegal entry in bfrange block in ToUnicode CMap");
        ++code;
    }
}

void ToUnicodeCMapReader::addMapping(CharCode code, std::string_view digits, Unicode offset)
{
    UnicodeSequence sequence;
    if (digits.size() <= 4) {
        const std::optional<std::uint32_t> value = parseHex(digits);
        if (!value) {
            warn("Illegal entry in ToUnicode CMap");
            return;
        }
        sequence.values[0] = *value + offset;
        sequence.length = 1;
    } else {
        const std::size_t length = std::min(digits.size() / 4, UnicodeSequence::kMaxLength);
        for (std::size_t i = 0; i < length; ++i) {
            const std::optional<std::uint32_t> value = parseHex(digits.substr(i * 4, 4));
            if (!value)
                warn("Illegal entry in ToUnicode CMap");
            sequence.values[i] = value.value_or(0);
        }
        sequence.length = static_cast<std::uint8_t>(length);
        sequence.values[length - 1] += offset;
    }
    map.entries[code] = sequence;
}

} // namespace

void readToUnicodeCMap(std::string_view text, CIDToUnicodeMap& map, const ToUnicodeCMapFinder& find)
{
    ToUnicodeCMapReader(map, find).read(text);
}

std::optional<CIDToUnicodeMap> parseCIDToUnicodeCMap(const std::string& fileName, const std::string& collection,
                                                     const std::vector<std::string>& toUnicodeDirs)
{
    const std::optional<std::string> text = readWholeFile(fileName);
    if (!text) {
        error(errSyntaxError, -1, "Couldn't open cidToUnicode file '{0:s}'", fileName.c_str());
        return std::nullopt;
    }
    const ToUnicodeCMapFinder findInFolders = [&toUnicodeDirs](const std::string& name) {
        std::optional<std::string> found;
        for (const std::string& folder : toUnicodeDirs) {
            if ((found = readWholeFile(folder + "/" + name)))
                break;
        }
        return found;
    };
    CIDToUnicodeMap map;
    map.collection = collection;
    readToUnicodeCMap(*text, map, findInFolders);
    return map;
}

} // namespace PDFCore
