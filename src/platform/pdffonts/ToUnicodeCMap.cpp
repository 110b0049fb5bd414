#include "platform/pdffonts/ToUnicodeCMap.h"

#include <cctype>
#include <vector>

namespace {

// The tokens of a CMap: hex strings (decoded), "[" and "]", and bare words.
struct Token {
    enum Kind {
        Hex,
        Word,
        Open,
        Close
    } kind;
    std::string text;
};

std::optional<std::vector<Token>> tokenize(std::string_view cmap)
{
    std::vector<Token> tokens;
    size_t at = 0;
    while (at < cmap.size()) {
        const char c = cmap[at];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++at;
        } else if (c == '%') {
            while (at < cmap.size() && cmap[at] != '\n' && cmap[at] != '\r')
                ++at;
        } else if (c == '<' && at + 1 < cmap.size() && cmap[at + 1] == '<') {
            tokens.push_back({Token::Word, "<<"});
            at += 2;
        } else if (c == '>' && at + 1 < cmap.size() && cmap[at + 1] == '>') {
            tokens.push_back({Token::Word, ">>"});
            at += 2;
        } else if (c == '<') {
            std::string digits;
            for (++at; at < cmap.size() && cmap[at] != '>'; ++at) {
                if (std::isxdigit(static_cast<unsigned char>(cmap[at])))
                    digits += cmap[at];
                else if (!std::isspace(static_cast<unsigned char>(cmap[at])))
                    return std::nullopt;
            }
            if (at == cmap.size() || digits.size() % 2 != 0)
                return std::nullopt;
            ++at;
            std::string bytes;
            for (size_t i = 0; i < digits.size(); i += 2)
                bytes += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
            tokens.push_back({Token::Hex, bytes});
        } else if (c == '[' || c == ']') {
            tokens.push_back({c == '[' ? Token::Open : Token::Close, {}});
            ++at;
        } else if (c == '(') {
            // Literal strings appear only in the header (e.g. the registry); skipped whole.
            int depth = 0;
            for (; at < cmap.size(); ++at) {
                if (cmap[at] == '\\') {
                    ++at;
                    continue;
                }
                depth += cmap[at] == '(' ? 1 : cmap[at] == ')' ? -1
                                                               : 0;
                if (depth == 0)
                    break;
            }
            ++at;
            tokens.push_back({Token::Word, "()"});
        } else {
            const size_t begin = at;
            while (at < cmap.size() && !std::isspace(static_cast<unsigned char>(cmap[at]))
                   && std::string_view("<>[]()%").find(cmap[at]) == std::string_view::npos)
                ++at;
            if (at == begin)
                ++at;
            tokens.push_back({Token::Word, std::string(cmap.substr(begin, at - begin))});
        }
    }
    return tokens;
}

uint16_t code(const std::string& bytes)
{
    return static_cast<uint16_t>((static_cast<uint8_t>(bytes[0]) << 8) | static_cast<uint8_t>(bytes[1]));
}

// The destination with its last UTF-16 unit increased by step, as a range's start is.
std::optional<std::string> advanced(std::string text, unsigned step)
{
    if (text.size() < 2 || text.size() % 2 != 0)
        return std::nullopt;
    const unsigned last = (static_cast<uint8_t>(text[text.size() - 2]) << 8) | static_cast<uint8_t>(text.back());
    if (last + step > 0xFFFF)
        return std::nullopt;
    text[text.size() - 2] = static_cast<char>((last + step) >> 8);
    text.back() = static_cast<char>((last + step) & 0xFF);
    return text;
}

bool isTwoByteCode(const Token& token)
{
    return token.kind == Token::Hex && token.text.size() == 2;
}

bool isText(const Token& token)
{
    return token.kind == Token::Hex && !token.text.empty() && token.text.size() % 2 == 0;
}

} // namespace

namespace ToUnicodeCMap {

std::optional<Map> parse(std::string_view cmap)
{
    const std::optional<std::vector<Token>> tokens = tokenize(cmap);
    if (!tokens)
        return std::nullopt;
    Map map;
    const std::vector<Token>& t = *tokens;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].kind != Token::Word)
            continue;
        if (t[i].text == "beginbfchar") {
            for (++i; i < t.size() && !(t[i].kind == Token::Word && t[i].text == "endbfchar"); i += 2) {
                if (i + 1 >= t.size() || !isTwoByteCode(t[i]) || !isText(t[i + 1]))
                    return std::nullopt;
                map[code(t[i].text)] = t[i + 1].text;
            }
            if (i >= t.size())
                return std::nullopt;
        } else if (t[i].text == "beginbfrange") {
            for (++i; i < t.size() && !(t[i].kind == Token::Word && t[i].text == "endbfrange");) {
                if (i + 2 >= t.size() || !isTwoByteCode(t[i]) || !isTwoByteCode(t[i + 1]))
                    return std::nullopt;
                const unsigned low = code(t[i].text);
                const unsigned high = code(t[i + 1].text);
                if (high < low)
                    return std::nullopt;
                if (t[i + 2].kind == Token::Open) {
                    size_t at = i + 3;
                    for (unsigned c = low; c <= high; ++c, ++at) {
                        if (at >= t.size() || !isText(t[at]))
                            return std::nullopt;
                        map[static_cast<uint16_t>(c)] = t[at].text;
                    }
                    if (at >= t.size() || t[at].kind != Token::Close)
                        return std::nullopt;
                    i = at + 1;
                } else {
                    if (!isText(t[i + 2]))
                        return std::nullopt;
                    for (unsigned c = low; c <= high; ++c) {
                        const std::optional<std::string> text = advanced(t[i + 2].text, c - low);
                        if (!text)
                            return std::nullopt;
                        map[static_cast<uint16_t>(c)] = *text;
                    }
                    i += 3;
                }
            }
            if (i >= t.size())
                return std::nullopt;
        } else if (t[i].text == "begincidrange" || t[i].text == "begincidchar" || t[i].text == "usecmap") {
            return std::nullopt;
        } else if (t[i].text == "begincodespacerange") {
            for (++i; i < t.size() && !(t[i].kind == Token::Word && t[i].text == "endcodespacerange"); ++i) {
                if (!isTwoByteCode(t[i]))
                    return std::nullopt;
            }
        }
    }
    return map;
}

std::string write(const Map& map)
{
    static const char* const digits = "0123456789ABCDEF";
    auto hex = [](const std::string& bytes) {
        std::string text = "<";
        for (const char c : bytes) {
            text += digits[static_cast<uint8_t>(c) >> 4];
            text += digits[static_cast<uint8_t>(c) & 0xF];
        }
        return text + ">";
    };
    std::string cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                       "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                       "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                       "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    // A section holds at most 100 entries.
    auto entry = map.begin();
    while (entry != map.end()) {
        std::string section;
        int count = 0;
        for (; entry != map.end() && count < 100; ++entry, ++count) {
            const std::string code{static_cast<char>(entry->first >> 8), static_cast<char>(entry->first & 0xFF)};
            section += hex(code) + " " + hex(entry->second) + "\n";
        }
        cmap += std::to_string(count) + " beginbfchar\n" + section + "endbfchar\n";
    }
    cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return cmap;
}

} // namespace ToUnicodeCMap
