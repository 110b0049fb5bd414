#include "toolkit/text/RTFTokenizer.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace {

int HexValue(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

int RTFTokenizer::peek() const
{
    return m_position < m_bytes.size() ? static_cast<unsigned char>(m_bytes[m_position]) : -1;
}

RTFTokenizer::Token RTFTokenizer::next()
{
    Token token;
    for (;;) {
        const int c = peek();
        if (c < 0)
            return token;
        ++m_position;
        if (c == '\r' || c == '\n')
            continue; // line ends in RTF are not text
        if (c == '{') {
            token.kind = Kind::GroupStart;
            return token;
        }
        if (c == '}') {
            token.kind = Kind::GroupEnd;
            return token;
        }
        if (c != '\\') {
            token.kind = Kind::Text;
            token.byte = static_cast<unsigned char>(c);
            return token;
        }
        const int first = peek();
        if (first < 0)
            return token;
        if (!std::isalpha(first)) {
            ++m_position;
            if (first == '\'') {
                const int high = HexValue(peek());
                const int low = high < 0 ? -1 : HexValue(m_position + 1 < m_bytes.size() ? static_cast<unsigned char>(m_bytes[m_position + 1]) : -1);
                if (high >= 0 && low >= 0) {
                    m_position += 2;
                    token.kind = Kind::HexByte;
                    token.byte = static_cast<unsigned char>(high * 16 + low);
                    return token;
                }
                continue; // a broken \' is dropped
            }
            token.kind = Kind::ControlSymbol;
            token.symbol = first == '\r' || first == '\n' ? '\n' : static_cast<char>(first);
            return token;
        }
        token.kind = Kind::ControlWord;
        // control words are at most 32 letters; longer runs are cut, never grown without bound
        while (std::isalpha(peek())) {
            if (token.word.size() < 32)
                token.word.push_back(static_cast<char>(peek()));
            ++m_position;
        }
        bool negative = false;
        if (peek() == '-') {
            negative = true;
            ++m_position;
        }
        int64_t value = 0;
        while (std::isdigit(peek())) {
            token.hasParameter = true;
            value = std::min<int64_t>(value * 10 + (peek() - '0'), int64_t{1} << 40);
            ++m_position;
        }
        value = negative ? -value : value;
        token.parameter = static_cast<int32_t>(
            std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
        if (peek() == ' ')
            ++m_position;
        return token;
    }
}

QByteArray RTFTokenizer::takeBytes(int64_t count)
{
    const int64_t available = static_cast<int64_t>(m_bytes.size() - m_position);
    const auto taken = static_cast<qsizetype>(std::clamp<int64_t>(count, 0, available));
    QByteArray bytes = m_bytes.mid(m_position, taken);
    m_position += taken;
    return bytes;
}
