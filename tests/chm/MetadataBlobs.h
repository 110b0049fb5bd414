#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <utility>

// Builders of metadata objects as CHM compilers write them.
namespace MetadataBlobs {

inline QByteArray u32(std::uint32_t value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>(value >> (8 * i) & 0xFF);
    return bytes;
}

inline QByteArray u16(std::uint16_t value)
{
    return u32(value).left(2);
}

// "/#STRINGS": a NUL first (offset 0 is the empty string), then each string with its NUL.
class Strings {
public:
    Strings() : m_bytes(1, '\0') {}
    std::uint32_t add(const QByteArray& text)
    {
        const auto offset = static_cast<std::uint32_t>(m_bytes.size());
        m_bytes += text;
        m_bytes += '\0';
        return offset;
    }
    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

// One "/#WINDOWS" entry's four string offsets.
struct WindowEntry {
    std::uint32_t title = 0;
    std::uint32_t contents = 0;
    std::uint32_t index = 0;
    std::uint32_t home = 0;
};

inline QByteArray windows(const QList<WindowEntry>& entries, std::uint32_t entrySize = 0xC4)
{
    QByteArray bytes = u32(static_cast<std::uint32_t>(entries.size())) + u32(entrySize);
    for (const WindowEntry& entry : entries) {
        QByteArray fields(static_cast<qsizetype>(entrySize), '\0');
        const auto put = [&](qsizetype at, std::uint32_t value) {
            if (at + 4 <= fields.size())
                fields.replace(at, 4, u32(value));
        };
        put(0x14, entry.title);
        put(0x60, entry.contents);
        put(0x64, entry.index);
        put(0x68, entry.home);
        bytes += fields;
    }
    return bytes;
}

inline QByteArray record(std::uint16_t code, const QByteArray& data)
{
    return u16(code) + u16(static_cast<std::uint16_t>(data.size())) + data;
}

inline QByteArray stringRecord(std::uint16_t code, const QByteArray& text)
{
    return record(code, text + '\0');
}

inline QByteArray localeRecord(std::uint32_t lcid)
{
    return record(4, u32(lcid) + QByteArray(32, '\0'));
}

inline QByteArray system(const QList<QByteArray>& records)
{
    QByteArray bytes = u32(3);
    for (const QByteArray& one : records)
        bytes += one;
    return bytes;
}

} // namespace MetadataBlobs
