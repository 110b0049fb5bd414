#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace PDFCore {

// Splits CMap text into PostScript words: comments ("%" to the end of the line) and blanks are
// skipped; "<...>" is one word with its blanks dropped; "(...)" is one word up to its unescaped
// closing parenthesis; "[" and "]" stand alone; any other word runs up to a blank or delimiter.
class CMapTokenizer
{
public:
    explicit CMapTokenizer(std::string_view text) : input(text) {}

    // The next word, or none at the end of the text.
    std::optional<std::string> next();

private:
    std::string readHexString();
    std::string readLiteralString();
    std::string readWord();

    std::string_view input;
    std::size_t position = 0;
};

} // namespace PDFCore
