#include "export/pdfcore/CMapTokenizer.h"

namespace PDFCore {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\0';
}

bool isDelimiter(char c)
{
    switch (c) {
    case '(': case ')': case '<': case '>': case '[': case ']': case '{': case '}': case '/': case '%':
        return true;
    default:
        return false;
    }
}

} // namespace

std::optional<std::string> CMapTokenizer::next()
{
    bool inComment = false;
    while (position < input.size()) {
        const char c = input[position];
        if (inComment) {
            inComment = c != '\n' && c != '\r';
        } else if (c == '%') {
            inComment = true;
        } else if (!isBlank(c)) {
            break;
        }
        ++position;
    }
    if (position >= input.size())
        return std::nullopt;

    switch (input[position]) {
    case '<':
        return readHexString();
    case '(':
        return readLiteralString();
    case '[':
    case ']':
        return std::string(1, input[position++]);
    default:
        return readWord();
    }
}

std::string CMapTokenizer::readHexString()
{
    std::string word(1, input[position++]);
    while (position < input.size()) {
        const char c = input[position++];
        if (!isBlank(c))
            word += c;
        if (c == '>')
            break;
    }
    return word;
}

std::string CMapTokenizer::readLiteralString()
{
    std::string word(1, input[position++]);
    bool escaped = false;
    while (position < input.size()) {
        const char c = input[position++];
        word += c;
        if (c == '\\')
            escaped = !escaped;
        else if (!escaped && c == ')')
            break;
        else
            escaped = false;
    }
    return word;
}

std::string CMapTokenizer::readWord()
{
    std::string word(1, input[position++]);
    while (position < input.size() && !isBlank(input[position]) && !isDelimiter(input[position]))
        word += input[position++];
    return word;
}

} // namespace PDFCore
