#pragma once

#include <QByteArray>

#include <cstdint>

// Bounds-checked big-endian reads over a file's bytes: a read past the end gives 0 and marks the reader
// as failed, so that a parser checks once after a group of reads.
class ByteReader {
public:
    explicit ByteReader(const QByteArray& bytes, qsizetype offset = 0)
        : m_bytes(bytes)
        , m_offset(offset)
    {}

    std::uint8_t u8()
    {
        if (!has(1))
            return 0;
        return static_cast<std::uint8_t>(m_bytes[m_offset++]);
    }
    std::uint16_t u16()
    {
        const std::uint16_t high = u8();
        return static_cast<std::uint16_t>((high << 8) | u8());
    }
    std::uint32_t u32()
    {
        const std::uint32_t high = u16();
        return (high << 16) | u16();
    }
    void skip(std::uint64_t count)
    {
        if (count > static_cast<std::uint64_t>(m_bytes.size() - m_offset)) {
            m_failed = true;
            m_offset = m_bytes.size();
            return;
        }
        m_offset += static_cast<qsizetype>(count);
    }
    bool has(qsizetype count)
    {
        if (count < 0 || m_offset > m_bytes.size() - count) {
            m_failed = true;
            return false;
        }
        return true;
    }
    qsizetype offset() const { return m_offset; }
    void seek(qsizetype offset)
    {
        if (offset < 0 || offset > m_bytes.size())
            m_failed = true;
        else
            m_offset = offset;
    }
    qsizetype remaining() const { return m_bytes.size() - m_offset; }
    const char* current() const { return m_bytes.constData() + m_offset; }
    bool failed() const { return m_failed; }

private:
    const QByteArray& m_bytes;
    qsizetype m_offset = 0;
    bool m_failed = false;
};

// PackBits: a count byte n; 0 to 127 copy n + 1 bytes, 129 to 255 repeat the next byte 257 − n times,
// 128 is nothing. Fills exactly length bytes of out; false when the input ends first.
bool UnpackBits(ByteReader& input, unsigned char* out, qsizetype length);
