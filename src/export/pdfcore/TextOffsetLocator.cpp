#include "export/pdfcore/TextOffsetLocator.h"

#include <UnicodeMap.h>

#include <algorithm>
#include <limits>
#include <string>

namespace PDFCore {

namespace {

// A word taken for text the page shows but the topic text lacks may not carry the offset further
// than this when the walk resynchronises on it.
constexpr std::size_t kResyncReach = 99;

std::string_view boundedText(std::string_view text)
{
    constexpr auto maxLength = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    return text.substr(0, std::min(text.size(), maxLength));
}

std::string encodeWord(const LocatorWord& word, const UnicodeMap& encoding)
{
    std::string bytes;
    char buffer[8];
    for (const Unicode u : word.chars) {
        const int n = encoding.mapUnicode(u, buffer, static_cast<int>(sizeof buffer));
        bytes.append(buffer, static_cast<std::size_t>(std::max(n, 0)));
    }
    return bytes;
}

bool textContinuesWith(std::string_view text, std::int32_t offset, std::string_view bytes)
{
    return text.substr(static_cast<std::size_t>(offset)).starts_with(bytes);
}

void advanceOffset(std::string_view text, std::int32_t& offset, std::size_t by)
{
    const std::size_t next = std::min(static_cast<std::size_t>(offset) + by, text.size());
    offset = static_cast<std::int32_t>(next);
}

void locateRecord(TextOffsetRecord& record, const LocatorWord& word)
{
    record.x = word.xMin;
    record.y = word.yMin - 2.0;
    record.found = 1;
}

} // namespace

void skipTextWhitespace(std::string_view text, std::int32_t& offset)
{
    text = boundedText(text);
    const auto length = static_cast<std::int32_t>(text.size());
    while (offset >= 0 && offset < length) {
        const auto byte = static_cast<unsigned char>(text[static_cast<std::size_t>(offset)]);
        if (byte == '\t' || byte == '\n' || byte == '\r' || byte == ' ') {
            offset += 1;
        } else if (byte == 0xC2 && offset + 1 < length
                   && static_cast<unsigned char>(text[static_cast<std::size_t>(offset) + 1]) == 0xA0) {
            offset += 2;
        } else {
            break;
        }
    }
}

int locateTextOffsets(std::span<const LocatorWord> words, const UnicodeMap* encoding, std::string_view text,
                      std::int32_t& textOffset, std::span<TextOffsetRecord> records, std::int32_t& recordIndex)
{
    const auto recordCount = static_cast<std::int64_t>(records.size());
    if (recordCount == 0 || recordIndex < 0 || recordIndex >= recordCount)
        return kLocateMatched;
    if (!encoding)
        return kLocateFailed;
    if (words.empty())
        return kLocateMatched;

    text = boundedText(text);
    textOffset = std::clamp(textOffset, 0, static_cast<std::int32_t>(text.size()));

    bool lastWordMismatched = false;
    for (const LocatorWord& word : words) {
        skipTextWhitespace(text, textOffset);
        const std::string bytes = encodeWord(word, *encoding);

        TextOffsetRecord& record = records[static_cast<std::size_t>(recordIndex)];
        if (record.charOffset <= static_cast<std::uint32_t>(textOffset)) {
            locateRecord(record, word);
            if (++recordIndex == recordCount)
                return kLocateMatched;
        }

        if (!textContinuesWith(text, textOffset, bytes)) {
            if (!lastWordMismatched) {
                // One stray word (a bullet, a generated number) is text the page shows but the DOM lacks.
                lastWordMismatched = true;
                continue;
            }
            const std::size_t found = text.find(bytes, static_cast<std::size_t>(textOffset));
            if (found != std::string_view::npos && found - static_cast<std::size_t>(textOffset) <= kResyncReach) {
                textOffset = static_cast<std::int32_t>(found);
                skipTextWhitespace(text, textOffset);
                if (!textContinuesWith(text, textOffset, bytes))
                    return kLocateFailed;
            }
        }
        advanceOffset(text, textOffset, bytes.size());
        lastWordMismatched = false;
    }
    return kLocateMatched;
}

} // namespace PDFCore
