#include "chm/LZXCheck.h"

#include <algorithm>

namespace LZXCheck {

namespace {

// chmlib's bit reader: a 32-bit buffer filled 16 bits at a time, little-endian words, most
// significant bit first. It loads bits it may never use, so loading past the input is allowed (the
// bytes are whatever lies in chmlib's buffer there, here zeros) up to the end of chmlib's buffer;
// taking a bit from past the input is not. Bits taken only add up, so that is checked once, when
// the frame ends: what happens after garbage bits were taken does not matter, the frame is refused.
class BitReader {
public:
    explicit BitReader(QByteArrayView input)
        : m_input(input)
        , m_inputBits(static_cast<std::int64_t>(input.size()) * 8)
    {
    }

    [[nodiscard]] bool ensure(int count)
    {
        while (m_bitsLeft < count) {
            if (m_position < 0 || m_position + 2 > kInputBufferLength)
                return false;
            const std::uint32_t word = static_cast<std::uint32_t>(byteAt(m_position + 1)) << 8 | byteAt(m_position);
            m_buffer |= word << (16 - m_bitsLeft);
            m_bitsLeft += 16;
            m_position += 2;
        }
        return true;
    }

    // The next `count` bits, 1 to 32, without taking them.
    [[nodiscard]] std::uint32_t peek(int count) const { return m_buffer >> (32 - count); }
    [[nodiscard]] std::uint32_t buffer() const { return m_buffer; }

    void remove(int count)
    {
        m_buffer = count >= 32 ? 0 : m_buffer << count;
        m_bitsLeft -= count;
    }

    [[nodiscard]] bool read(int count, std::uint32_t& value)
    {
        if (!ensure(count))
            return false;
        value = peek(count);
        remove(count);
        return true;
    }

    [[nodiscard]] bool tookOnlyInput() const { return m_position * 8 - m_bitsLeft <= m_inputBits; }

    void restart()
    {
        m_buffer = 0;
        m_bitsLeft = 0;
    }

    // The raw byte position and bit count, for the uncompressed block, which reads bytes directly.
    std::int64_t& position() { return m_position; }
    [[nodiscard]] int bitsLeft() const { return m_bitsLeft; }
    [[nodiscard]] std::int64_t inputLength() const { return m_input.size(); }

    [[nodiscard]] std::uint32_t littleEndianAt(std::int64_t at) const
    {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | byteAt(at + i);
        return value;
    }

private:
    [[nodiscard]] std::uint32_t byteAt(std::int64_t at) const
    {
        return at >= 0 && at < m_input.size() ? static_cast<unsigned char>(m_input[static_cast<qsizetype>(at)]) : 0u;
    }

    QByteArrayView m_input;
    std::int64_t m_inputBits;
    std::int64_t m_position = 0;
    std::uint32_t m_buffer = 0;
    int m_bitsLeft = 0;
};

// chmlib allows code lengths to be written this far past the symbols read.
constexpr int kLengthSafety = 64;
constexpr int kLongestCode = 16;

// A Huffman table as chmlib builds and reads it: a direct lookup of `TableBits` bits, then a tree
// for longer codes in the entries after it. Lengths persist between blocks (they are read as
// deltas), so they live here.
template <int Symbols, int TableBits>
class HuffmanTable {
public:
    std::array<std::uint8_t, Symbols + kLengthSafety> lengths{};

    // chmlib's table builder accepts only a complete code or no code at all; an over-full code
    // makes it write past its table before it notices.
    [[nodiscard]] bool build()
    {
        std::uint32_t kraft = 0;
        bool anyLength = false;
        for (int symbol = 0; symbol < Symbols; ++symbol) {
            anyLength = anyLength || lengths[symbol] != 0;
            if (lengths[symbol] >= 1 && lengths[symbol] <= kLongestCode)
                kraft += 1u << (kLongestCode - lengths[symbol]);
        }
        if (kraft == 0) {
            if (anyLength)
                return false;
            std::fill(m_table.begin(), m_table.begin() + (1 << TableBits), 0);
            return true; // every lookup gives symbol 0, of no bits
        }
        return kraft == 1u << kLongestCode && fill();
    }

    [[nodiscard]] bool decode(BitReader& bits, int& symbol) const
    {
        if (!bits.ensure(16))
            return false;
        std::uint32_t entry = m_table[bits.peek(TableBits)];
        if (entry >= Symbols) {
            std::uint32_t mask = 1u << (32 - TableBits);
            do {
                mask >>= 1;
                entry = entry << 1 | ((bits.buffer() & mask) != 0 ? 1u : 0u);
                if (mask == 0 || entry >= m_table.size())
                    return false;
                entry = m_table[entry];
            } while (entry >= Symbols);
        }
        symbol = static_cast<int>(entry);
        bits.remove(lengths[entry]);
        return true;
    }

private:
    // chmlib's own construction, for a complete code, so that lookups give what they give there.
    // chmlib visits the symbols by length, then by number, scanning all of them for each length;
    // sorting them once visits them in the same order.
    bool fill()
    {
        std::array<int, kLongestCode + 2> start{};
        for (int symbol = 0; symbol < Symbols; ++symbol) {
            if (lengths[symbol] >= 1 && lengths[symbol] <= kLongestCode)
                ++start[lengths[symbol] + 1];
        }
        for (int length = 1; length <= kLongestCode; ++length)
            start[length + 1] += start[length];
        std::array<std::uint16_t, Symbols> byLength{};
        std::array<int, kLongestCode + 2> next = start;
        for (int symbol = 0; symbol < Symbols; ++symbol) {
            if (lengths[symbol] >= 1 && lengths[symbol] <= kLongestCode)
                byLength[static_cast<std::size_t>(next[lengths[symbol]]++)] = static_cast<std::uint16_t>(symbol);
        }
        std::uint32_t position = 0;
        std::uint32_t tableMask = 1u << TableBits;
        std::uint32_t bitMask = tableMask >> 1;
        std::uint32_t nextNode = bitMask;
        int length = 1;
        for (; length <= TableBits; ++length, bitMask >>= 1) {
            for (int at = start[length]; at < start[length + 1]; ++at) {
                std::fill_n(m_table.begin() + position, bitMask, byLength[static_cast<std::size_t>(at)]);
                position += bitMask;
            }
        }
        if (position == tableMask)
            return true;
        std::fill(m_table.begin() + position, m_table.begin() + tableMask, 0);
        position <<= 16;
        tableMask <<= 16;
        bitMask = 1u << 15;
        for (; length <= kLongestCode; ++length, bitMask >>= 1) {
            for (int at = start[length]; at < start[length + 1]; ++at) {
                std::uint32_t leaf = position >> 16;
                for (int bit = 0; bit < length - TableBits; ++bit) {
                    if (leaf >= m_table.size() || (nextNode << 1) + 1 >= m_table.size())
                        return false;
                    if (m_table[leaf] == 0) {
                        m_table[nextNode << 1] = 0;
                        m_table[(nextNode << 1) + 1] = 0;
                        m_table[leaf] = static_cast<std::uint16_t>(nextNode++);
                    }
                    leaf = static_cast<std::uint32_t>(m_table[leaf]) << 1 | ((position >> (15 - bit)) & 1);
                }
                if (leaf >= m_table.size())
                    return false;
                m_table[leaf] = byLength[static_cast<std::size_t>(at)];
                position += bitMask;
            }
        }
        return position == tableMask;
    }

    std::array<std::uint16_t, (1 << TableBits) + (Symbols << 1)> m_table{};
};

constexpr int kLiterals = 256;
constexpr int kMainSymbols = kLiterals + 50 * 8;
constexpr int kLengthSymbols = 249 + 1;
constexpr int kSecondaryLengths = 249;
constexpr int kPretreeSymbols = 20;
constexpr int kAlignedSymbols = 8;
constexpr int kMinimumMatch = 2;
constexpr int kPrimaryLengths = 7;

constexpr std::array<std::uint8_t, 51> kExtraBits{0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7,
                                                  8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14, 15, 15, 16, 16, 17, 17, 17, 17, 17, 17, 17, 17,
                                                  17, 17, 17, 17, 17, 17, 17};

constexpr std::array<std::uint32_t, 51> kPositionBase{0, 1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64, 96,
                                                      128, 192, 256, 384, 512, 768, 1024, 1536, 2048, 3072, 4096, 6144, 8192, 12288, 16384, 24576, 32768,
                                                      49152, 65536, 98304, 131072, 196608, 262144, 393216, 524288, 655360, 786432, 917504, 1048576,
                                                      1179648, 1310720, 1441792, 1572864, 1703936, 1835008, 1966080, 2097152};

enum BlockType : std::uint32_t {
    Invalid = 0,
    Verbatim = 1,
    Aligned = 2,
    Uncompressed = 3,
};

class Decoder {
public:
    explicit Decoder(int windowBits)
        : m_windowSize(1u << windowBits)
        , m_mainElements(kLiterals + 8 * (windowBits == 20 ? 42 : windowBits == 21 ? 50
                                                                                   : windowBits * 2))
    {
    }

    void reset()
    {
        m_repeats = {1, 1, 1};
        m_headerRead = false;
        m_blockRemaining = 0;
        m_blockType = Invalid;
        m_windowPosition = 0;
        m_decodedSinceReset = 0;
        m_main.lengths.fill(0);
        m_length.lengths.fill(0);
    }

    // One call of chmlib's decompression: one frame of output from `input`.
    bool decodeFrame(QByteArrayView input)
    {
        BitReader bits(input);
        if (!m_headerRead) {
            std::uint32_t translated = 0;
            std::uint32_t ignored = 0;
            if (!bits.read(1, translated) || (translated != 0 && (!bits.read(16, ignored) || !bits.read(16, ignored))))
                return false;
            m_headerRead = true;
        }
        std::int64_t toGo = kFrameLength;
        while (toGo > 0) {
            if (m_blockRemaining == 0 && !readBlockHeader(bits))
                return false;
            if (bits.position() > bits.inputLength() && (bits.position() > bits.inputLength() + 2 || bits.bitsLeft() < 16))
                return false;
            while (m_blockRemaining > 0 && toGo > 0) {
                const auto run = static_cast<std::uint32_t>(std::min<std::int64_t>(m_blockRemaining, toGo));
                toGo -= run;
                m_blockRemaining -= run;
                m_windowPosition &= m_windowSize - 1;
                if (m_windowPosition + run > m_windowSize)
                    return false;
                if (!(m_blockType == Uncompressed ? copyRun(bits, run) : decodeRun(bits, run)))
                    return false;
            }
        }
        // chmlib copies the frame out of the window ending at the current position.
        return bits.tookOnlyInput() && (m_windowPosition != 0 ? m_windowPosition : m_windowSize) >= kFrameLength;
    }

private:
    bool readBlockHeader(BitReader& bits)
    {
        if (m_blockType == Uncompressed) {
            if (m_blockLength & 1)
                ++bits.position();
            bits.restart();
        }
        std::uint32_t type = 0;
        std::uint32_t high = 0;
        std::uint32_t low = 0;
        if (!bits.read(3, type) || !bits.read(16, high) || !bits.read(8, low))
            return false;
        m_blockType = type;
        m_blockRemaining = m_blockLength = high << 8 | low;
        switch (type) {
        case Aligned:
            for (int i = 0; i < kAlignedSymbols; ++i) {
                std::uint32_t length = 0;
                if (!bits.read(3, length))
                    return false;
                m_aligned.lengths[i] = static_cast<std::uint8_t>(length);
            }
            if (!m_aligned.build())
                return false;
            [[fallthrough]];
        case Verbatim:
            return readLengths(bits, m_main.lengths, 0, kLiterals)
                   && readLengths(bits, m_main.lengths, kLiterals, m_mainElements) && m_main.build()
                   && readLengths(bits, m_length.lengths, 0, kSecondaryLengths) && m_length.build();
        case Uncompressed: {
            // Up to 16 bits of padding, then three repeat offsets as bytes.
            if (!bits.ensure(16))
                return false;
            if (bits.bitsLeft() > 16)
                bits.position() -= 2;
            std::int64_t& at = bits.position();
            if (at < 0 || at + 12 > bits.inputLength())
                return false;
            for (std::uint32_t& repeat : m_repeats) {
                repeat = bits.littleEndianAt(at);
                at += 4;
            }
            return true;
        }
        default:
            return false;
        }
    }

    // Code lengths for symbols [first, last), as deltas against the previous ones, coded with a
    // pretree. Runs may write up to 51 lengths past `last`, into the spare entries.
    template <std::size_t Size>
    bool readLengths(BitReader& bits, std::array<std::uint8_t, Size>& lengths, int first, int last)
    {
        for (int i = 0; i < kPretreeSymbols; ++i) {
            std::uint32_t length = 0;
            if (!bits.read(4, length))
                return false;
            m_pretree.lengths[i] = static_cast<std::uint8_t>(length);
        }
        if (!m_pretree.build())
            return false;
        const auto put = [&](int& at, int count, int value) {
            if (at + count > static_cast<int>(Size))
                return false;
            std::fill_n(lengths.begin() + at, count, static_cast<std::uint8_t>(value));
            at += count;
            return true;
        };
        const auto delta = [](int previous, int code) { return previous - code < 0 ? previous - code + 17 : previous - code; };
        for (int at = first; at < last;) {
            int code = 0;
            std::uint32_t count = 0;
            if (!m_pretree.decode(bits, code))
                return false;
            bool written = false;
            if (code == 17)
                written = bits.read(4, count) && put(at, static_cast<int>(count) + 4, 0);
            else if (code == 18)
                written = bits.read(5, count) && put(at, static_cast<int>(count) + 20, 0);
            else if (code == 19)
                written = bits.read(1, count) && m_pretree.decode(bits, code)
                          && put(at, static_cast<int>(count) + 4, delta(lengths[static_cast<std::size_t>(at)], code));
            else
                written = put(at, 1, delta(lengths[static_cast<std::size_t>(at)], code));
            if (!written)
                return false;
        }
        return true;
    }

    bool copyRun(BitReader& bits, std::uint32_t run)
    {
        std::int64_t& at = bits.position();
        if (at + run > bits.inputLength())
            return false;
        at += run;
        advance(run);
        return true;
    }

    bool decodeRun(BitReader& bits, std::uint32_t run)
    {
        std::int64_t left = run;
        while (left > 0) {
            int element = 0;
            if (!m_main.decode(bits, element))
                return false;
            if (element < kLiterals) {
                advance(1);
                --left;
                continue;
            }
            element -= kLiterals;
            int matchLength = element & kPrimaryLengths;
            if (matchLength == kPrimaryLengths) {
                int footer = 0;
                if (!m_length.decode(bits, footer))
                    return false;
                matchLength += footer;
            }
            matchLength += kMinimumMatch;
            std::uint32_t offset = 0;
            if (!matchOffset(bits, element >> 3, offset))
                return false;
            // chmlib copies from `offset` bytes back, wrapping to the window's end: only data
            // decoded since the reset is there to copy, and never more than one window back.
            if (offset > std::min<std::uint64_t>(m_decodedSinceReset, m_windowSize))
                return false;
            if (m_windowPosition + static_cast<std::uint32_t>(matchLength) > m_windowSize)
                return false;
            // A match past its run would make chmlib's frame end before the window's start.
            if (matchLength > left)
                return false;
            left -= matchLength;
            advance(static_cast<std::uint32_t>(matchLength));
        }
        return true;
    }

    bool matchOffset(BitReader& bits, int slot, std::uint32_t& offset)
    {
        if (slot <= 2) {
            offset = m_repeats[static_cast<std::size_t>(slot)];
            if (slot != 0) {
                m_repeats[static_cast<std::size_t>(slot)] = m_repeats[0];
                m_repeats[0] = offset;
            }
            return true;
        }
        const auto index = static_cast<std::size_t>(slot);
        int extra = kExtraBits[index];
        offset = kPositionBase[index] - 2;
        std::uint32_t verbatim = 0;
        int aligned = 0;
        if (m_blockType == Verbatim) {
            if (slot == 3)
                offset = 1;
            else if (!bits.read(extra, verbatim))
                return false;
            offset += verbatim;
        } else if (extra > 3) {
            if (!bits.read(extra - 3, verbatim) || !m_aligned.decode(bits, aligned))
                return false;
            offset += (verbatim << 3) + static_cast<std::uint32_t>(aligned);
        } else if (extra == 3) {
            if (!m_aligned.decode(bits, aligned))
                return false;
            offset += static_cast<std::uint32_t>(aligned);
        } else if (extra > 0) {
            if (!bits.read(extra, verbatim))
                return false;
            offset += verbatim;
        } else {
            offset = 1;
        }
        m_repeats = {offset, m_repeats[0], m_repeats[1]};
        return true;
    }

    void advance(std::uint32_t count)
    {
        m_windowPosition += count;
        m_decodedSinceReset += count;
    }

    std::uint32_t m_windowSize;
    int m_mainElements;
    std::array<std::uint32_t, 3> m_repeats{1, 1, 1};
    bool m_headerRead = false;
    std::uint32_t m_blockType = Invalid;
    std::uint32_t m_blockLength = 0;
    std::uint32_t m_blockRemaining = 0;
    std::uint32_t m_windowPosition = 0;
    std::uint64_t m_decodedSinceReset = 0;
    HuffmanTable<kPretreeSymbols, 6> m_pretree;
    HuffmanTable<kMainSymbols, 12> m_main;
    HuffmanTable<kLengthSymbols, 12> m_length;
    HuffmanTable<kAlignedSymbols, 7> m_aligned;
};

} // namespace

std::size_t safeFrameCount(const Stream& stream)
{
    if (stream.windowBits < 15 || stream.windowBits > 21 || stream.framesPerReset == 0)
        return 0;
    Decoder decoder(stream.windowBits);
    for (std::size_t frame = 0; frame < stream.frames.size(); ++frame) {
        if (frame % stream.framesPerReset == 0)
            decoder.reset();
        if (!decoder.decodeFrame(stream.frames[frame]))
            return frame;
    }
    return stream.frames.size();
}

bool decodesSafely(const Stream& stream)
{
    return stream.windowBits >= 15 && stream.windowBits <= 21 && stream.framesPerReset != 0
           && safeFrameCount(stream) == stream.frames.size();
}

} // namespace LZXCheck
