#pragma once

#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

// Writes LZX frames for a window of 64 KiB, the window the compiled fixtures use: literal bytes 0
// and one kind of match, coded "0" and "1" by a main tree of two symbols.
class LZXStreamWriter {
public:
    static constexpr int kMainElements = 256 + 32 * 8;

    // The first frame after a reset starts with the translation header (here: none).
    explicit LZXStreamWriter(bool startsInterval = true)
    {
        if (startsInterval)
            bits(0, 1);
    }

    void bits(std::uint32_t value, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            m_word = static_cast<std::uint16_t>(m_word << 1 | ((value >> i) & 1));
            if (++m_pending == 16)
                flushWord();
        }
    }

    // A verbatim block whose main tree gives every (symbol, length) pair, the others none; the
    // pretree codes, all 2 bits long, are those of symbols 0, 16, 17 and 18 unless given.
    void verbatimBlock(std::uint32_t length, const std::vector<std::pair<int, int>>& mainLengths,
                       const std::vector<int>& pretree = {})
    {
        blockHeader(1, length);
        trees(mainLengths, pretree);
    }

    // The same with an aligned offset tree of 3-bit codes: the low 3 bits of an offset are that
    // tree's symbol, coded as itself.
    void alignedBlock(std::uint32_t length, const std::vector<std::pair<int, int>>& mainLengths)
    {
        blockHeader(2, length);
        for (int i = 0; i < 8; ++i)
            bits(3, 3);
        trees(mainLengths, {});
    }

    void trees(const std::vector<std::pair<int, int>>& mainLengths, const std::vector<int>& pretree)
    {
        m_pretree = pretree;
        lengths(mainLengths, 0, 256);
        lengths(mainLengths, 256, kMainElements);
        lengths({}, 0, 249);
    }

    // A verbatim block with literal 0 coded "0" and `matchSymbol` coded "1".
    void twoSymbolBlock(std::uint32_t length, int matchSymbol) { verbatimBlock(length, {{0, 1}, {matchSymbol, 1}}); }

    void symbols(bool match, int count)
    {
        for (int i = 0; i < count; ++i)
            bits(match ? 1 : 0, 1);
    }

    void uncompressedBlock(const QByteArray& data, std::uint32_t r0)
    {
        blockHeader(3, static_cast<std::uint32_t>(data.size()));
        if (m_pending == 0)
            bits(0, 16);
        else
            bits(0, 16 - m_pending);
        for (std::uint32_t repeat : {r0, 1u, 1u}) {
            for (int i = 0; i < 4; ++i)
                m_bytes.append(static_cast<char>(repeat >> (8 * i)));
        }
        m_bytes.append(data);
        if (data.size() % 2 != 0)
            m_bytes.append('\0');
    }

    QByteArray finish()
    {
        if (m_pending != 0)
            bits(0, 16 - m_pending);
        return m_bytes;
    }

private:
    void flushWord()
    {
        m_bytes.append(static_cast<char>(m_word & 0xFF));
        m_bytes.append(static_cast<char>(m_word >> 8));
        m_word = 0;
        m_pending = 0;
    }

    void blockHeader(std::uint32_t type, std::uint32_t length)
    {
        bits(type, 3);
        bits(length >> 8, 16);
        bits(length & 0xFF, 8);
    }

    // Lengths of symbols [first, last) against lengths all 0 so far: pretree code 16 makes a length
    // 1, code c generally (17 - c) % 17; 17 and 18 are runs of zeros.
    void lengths(const std::vector<std::pair<int, int>>& wanted, int first, int last)
    {
        static const std::vector<int> kDefaultPretree = [] {
            std::vector<int> pretree(20, 0);
            for (int symbol : {0, 16, 17, 18})
                pretree[static_cast<std::size_t>(symbol)] = 2;
            return pretree;
        }();
        for (int length : m_pretree.empty() ? kDefaultPretree : m_pretree)
            bits(static_cast<std::uint32_t>(length), 4);
        int at = first;
        for (const auto& [symbol, length] : wanted) {
            if (symbol < first || symbol >= last)
                continue;
            zeros(symbol - at);
            pretreeSymbol((17 - length) % 17);
            at = symbol + 1;
        }
        zeros(last - at);
    }

    void zeros(int count)
    {
        for (; count >= 20; count -= std::min(count, 51)) {
            pretreeSymbol(18);
            bits(static_cast<std::uint32_t>(std::min(count, 51) - 20), 5);
        }
        for (; count >= 4; count -= std::min(count, 19)) {
            pretreeSymbol(17);
            bits(static_cast<std::uint32_t>(std::min(count, 19) - 4), 4);
        }
        for (; count > 0; --count)
            pretreeSymbol(0);
    }

    // The default pretree's canonical codes: 0 -> 00, 16 -> 01, 17 -> 10, 18 -> 11.
    void pretreeSymbol(int symbol) { bits(symbol == 0 ? 0u : static_cast<std::uint32_t>(symbol - 15), 2); }

    QByteArray m_bytes;
    std::vector<int> m_pretree;
    std::uint16_t m_word = 0;
    int m_pending = 0;
};
