#include "chm/CHMMetadataReader.h"

#include "chm/LCIDTable.h"
#include "platform/TextEncoding.h"

#include <cstdint>
#include <optional>

namespace {

// Field offsets within one "/#WINDOWS" entry: each an offset into "/#STRINGS".
constexpr std::uint64_t kWindowTitle = 0x14;
constexpr std::uint64_t kWindowContents = 0x60;
constexpr std::uint64_t kWindowIndex = 0x64;
constexpr std::uint64_t kWindowHome = 0x68;
constexpr std::uint64_t kWindowFieldsEnd = 0x6C;

enum SystemCode : std::uint16_t {
    kSystemContents = 0,
    kSystemIndex = 1,
    kSystemHome = 2,
    kSystemTitle = 3,
    kSystemLocale = 4,
    kSystemCompiledFile = 6,
};

std::optional<std::uint32_t> readU32(const QByteArray& bytes, std::uint64_t offset)
{
    if (offset + 4 > static_cast<std::uint64_t>(bytes.size()))
        return std::nullopt;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData()) + offset;
    return static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8
        | static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
}

std::optional<std::uint16_t> readU16(const QByteArray& bytes, std::uint64_t offset)
{
    if (offset + 2 > static_cast<std::uint64_t>(bytes.size()))
        return std::nullopt;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData()) + offset;
    return static_cast<std::uint16_t>(data[0] | data[1] << 8);
}

// The NUL-ended string at an offset of "/#STRINGS"; nothing when the offset or the NUL is missing.
std::optional<QByteArray> stringAt(const QByteArray& strings, std::uint32_t offset)
{
    if (offset >= static_cast<std::uint64_t>(strings.size()))
        return std::nullopt;
    const qsizetype end = strings.indexOf('\0', static_cast<qsizetype>(offset));
    if (end < 0)
        return std::nullopt;
    return strings.mid(static_cast<qsizetype>(offset), end - static_cast<qsizetype>(offset));
}

// A record's string: up to its NUL, or the whole record when it has none.
QByteArray recordString(const QByteArray& data)
{
    const qsizetype end = data.indexOf('\0');
    return end < 0 ? data : data.left(end);
}

class MetadataBuilder {
public:
    MetadataBuilder(const CHMMetadataReader::ObjectExists& exists, const CHMMetadata& known)
        : m_exists(exists), m_metadata(known)
    {
    }

    void readWindows(const QByteArray& windows, const QByteArray& strings);
    void readSystem(const QByteArray& system);
    CHMMetadata finish();

private:
    void readWindowEntry(const QByteArray& windows, std::uint64_t entry, const QByteArray& strings);
    void readSystemRecord(std::uint16_t code, const QByteArray& data);
    void fillFromCompiledFileName(const QByteArray& data);
    std::optional<QString> decode(const QByteArray& bytes) const;
    void fillIfEmpty(QString& field, const std::optional<QByteArray>& bytes, bool trim = false);

    const CHMMetadataReader::ObjectExists& m_exists;
    CHMMetadata m_metadata;
};

// Strings are in the code page known so far, UTF-8 before any locale record.
std::optional<QString> MetadataBuilder::decode(const QByteArray& bytes) const
{
    const QString& encoding = m_metadata.encodingName;
    return TextEncoding::decodeStrict(bytes, encoding.isEmpty() ? QStringLiteral("UTF-8") : encoding);
}

void MetadataBuilder::fillIfEmpty(QString& field, const std::optional<QByteArray>& bytes, bool trim)
{
    if (!field.isEmpty() || !bytes)
        return;
    const std::optional<QString> text = decode(*bytes);
    if (text)
        field = trim ? text->trimmed() : *text;
}

void MetadataBuilder::readWindows(const QByteArray& windows, const QByteArray& strings)
{
    const std::optional<std::uint32_t> count = readU32(windows, 0);
    const std::optional<std::uint32_t> entrySize = readU32(windows, 4);
    if (!count || !entrySize || *entrySize < kWindowFieldsEnd)
        return;
    for (std::uint64_t i = 0; i < *count; ++i) {
        const std::uint64_t entry = 8 + i * *entrySize;
        if (entry + kWindowFieldsEnd > static_cast<std::uint64_t>(windows.size()))
            break; // the entries that would follow lie outside the object too
        readWindowEntry(windows, entry, strings);
    }
}

void MetadataBuilder::readWindowEntry(const QByteArray& windows, std::uint64_t entry, const QByteArray& strings)
{
    const auto field = [&](std::uint64_t offset) -> std::optional<QByteArray> {
        const std::optional<std::uint32_t> stringOffset = readU32(windows, entry + offset);
        return stringOffset ? stringAt(strings, *stringOffset) : std::nullopt;
    };
    fillIfEmpty(m_metadata.docTitle, field(kWindowTitle), true);
    fillIfEmpty(m_metadata.tocPath, field(kWindowContents));
    fillIfEmpty(m_metadata.indexPath, field(kWindowIndex));
    fillIfEmpty(m_metadata.homePath, field(kWindowHome));
}

void MetadataBuilder::readSystem(const QByteArray& system)
{
    m_metadata.hasSystem = true;
    const auto size = static_cast<std::uint64_t>(system.size());
    if (size < 5)
        return;
    for (std::uint64_t record = 4; record < size;) {
        const std::optional<std::uint16_t> code = readU16(system, record);
        const std::optional<std::uint16_t> length = readU16(system, record + 2);
        if (!code || !length || record + 4 + *length > size)
            return; // a record cut off by the end of the object ends the scan
        readSystemRecord(*code, system.mid(static_cast<qsizetype>(record + 4), *length));
        record += 4 + *length;
    }
}

void MetadataBuilder::readSystemRecord(std::uint16_t code, const QByteArray& data)
{
    switch (code) {
    case kSystemContents:
        fillIfEmpty(m_metadata.tocPath, recordString(data));
        break;
    case kSystemIndex:
        fillIfEmpty(m_metadata.indexPath, recordString(data));
        break;
    case kSystemHome:
        fillIfEmpty(m_metadata.homePath, recordString(data));
        break;
    case kSystemTitle:
        fillIfEmpty(m_metadata.docTitle, recordString(data), true);
        break;
    case kSystemLocale:
        if (const std::optional<std::uint32_t> lcid = readU32(data, 0))
            m_metadata.encodingName = LCIDTable::codePageForLCID(static_cast<std::int32_t>(*lcid));
        break;
    case kSystemCompiledFile:
        fillFromCompiledFileName(recordString(data));
        break;
    default:
        break;
    }
}

void MetadataBuilder::fillFromCompiledFileName(const QByteArray& data)
{
    const std::optional<QString> baseName = decode(data);
    if (!baseName)
        return;
    const QString contents = QStringLiteral("/%1.hhc").arg(*baseName);
    if (m_metadata.tocPath.isEmpty() && m_exists(contents))
        m_metadata.tocPath = contents;
    const QString index = QStringLiteral("/%1.hhk").arg(*baseName);
    if (m_metadata.indexPath.isEmpty() && m_exists(index))
        m_metadata.indexPath = index;
}

CHMMetadata MetadataBuilder::finish()
{
    if (m_metadata.docTitle.isEmpty())
        m_metadata.docTitle = QString();
    return m_metadata;
}

} // namespace

namespace CHMMetadataReader {

CHMMetadata read(const QByteArray& windows, const QByteArray& strings, const QByteArray& system,
                 const ObjectExists& exists, const CHMMetadata& known)
{
    MetadataBuilder builder(exists, known);
    if (!windows.isNull() && !strings.isNull())
        builder.readWindows(windows, strings);
    if (!system.isNull())
        builder.readSystem(system);
    return builder.finish();
}

} // namespace CHMMetadataReader
