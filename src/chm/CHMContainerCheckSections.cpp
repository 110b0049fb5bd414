#include "chm/CHMContainerCheckParts.h"

#include <algorithm>
#include <array>
#include <bit>

namespace CHMContainerCheck::Detail {

namespace {

// The three objects through which chmlib reads the compressed section.
constexpr std::array<const char*, 3> kSectionObjectNames{
    "::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable",
    "::DataSpace/Storage/MSCompressed/Content",
    "::DataSpace/Storage/MSCompressed/ControlData",
};
enum SectionObject {
    ResetTable,
    Content,
    ControlData
};

// The reset table: version 2, block count at 4, table offset at 12, the compressed length at 24 and
// the block length at 32 in a header of 0x28 bytes; then one u64 offset per block.
constexpr std::uint64_t kResetTableHeaderLength = 0x28;
// A block is one LZX frame. chmlib decompresses it from a buffer 6144 bytes longer.
constexpr std::uint64_t kBlockLength = 0x8000;
constexpr std::uint64_t kCompressedBlockBuffer = kBlockLength + 6144;

// The control data: "LZXC" at 4, version at 8, reset interval, window size and windows per reset
// at 12, 16 and 20. chmlib reads at most 256 bytes of it and at least 0x18.
constexpr std::uint64_t kControlDataMinimumLength = 0x18;
constexpr std::uint64_t kControlDataMaximumLength = 256;
// Version 2 counts the interval and the window in units of 32 KiB.
constexpr std::uint32_t kVersion2Unit = 0x8000;
// The windows chmlib's LZX decoder supports.
constexpr std::uint32_t kSmallestWindow = 1u << 15;
constexpr std::uint32_t kLargestWindow = 1u << 21;

// chmlib finds names with strcasecmp in the C locale.
bool sameNameIgnoringAsciiCase(const QByteArray& name, const char* wanted)
{
    const QByteArrayView other(wanted);
    if (name.size() != other.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(name[i]) != lower(other[i]))
            return false;
    }
    return true;
}

bool endsWithin(std::uint64_t start, std::uint64_t length, std::uint64_t limit)
{
    return start <= limit && length <= limit - start;
}

struct Decompression {
    int windowBits = 0;
    std::uint32_t blocksPerReset = 0;
};

// What the control data sets up: the LZX window and the number of blocks between decoder resets.
// The arithmetic is chmlib's own, in 32 bits, so that a wrap that gives it a zero is seen here.
std::optional<Decompression> controlDataDecompression(QByteArrayView data)
{
    const auto length = static_cast<std::uint64_t>(data.size());
    if (length < kControlDataMinimumLength || length > kControlDataMaximumLength || data.sliced(4, 4) != "LZXC")
        return std::nullopt;
    const std::uint32_t version = *readU32(data, 8);
    std::uint32_t resetInterval = *readU32(data, 12);
    std::uint32_t windowSize = *readU32(data, 16);
    const std::uint32_t windowsPerReset = *readU32(data, 20);
    if (version != 1 && version != 2)
        return std::nullopt;
    if (version == 2) {
        resetInterval *= kVersion2Unit;
        windowSize *= kVersion2Unit;
    }
    if (!std::has_single_bit(windowSize) || windowSize < kSmallestWindow || windowSize > kLargestWindow)
        return std::nullopt;
    const std::uint32_t halfWindow = windowSize / 2;
    if (resetInterval == 0 || resetInterval % halfWindow != 0 || windowsPerReset == 0)
        return std::nullopt;
    const std::uint32_t blocksPerReset = resetInterval / halfWindow * windowsPerReset;
    if (blocksPerReset == 0)
        return std::nullopt;
    return Decompression{std::countr_zero(windowSize), blocksPerReset};
}

// The reset table: every block's compressed bytes start where the previous block's end and fit the
// buffer chmlib reads them into (some compilers list one block more, of no bytes, at the end). The
// table object must hold every entry; of a file cut off inside it, the entries held are checked.
// Gives the number of blocks, none when the table is unsound.
std::optional<std::uint64_t> resetTableBlockCount(QByteArrayView table, std::uint64_t tableLength, std::uint64_t contentLength)
{
    if (*readU32(table, 0) != 2)
        return std::nullopt;
    const std::uint32_t blockCount = *readU32(table, 4);
    const std::uint32_t tableOffset = *readU32(table, 12);
    const std::uint64_t compressedLength = *readU64(table, 24);
    const std::uint64_t blockLength = *readU64(table, 32);
    if (blockLength != kBlockLength || blockCount == 0 || compressedLength > contentLength)
        return std::nullopt;
    if (!endsWithin(tableOffset, std::uint64_t(blockCount) * 8, tableLength))
        return std::nullopt;
    for (std::uint32_t block = 0; block < blockCount; ++block) {
        const std::optional<std::uint64_t> start = readU64(table, tableOffset + std::uint64_t(block) * 8);
        const std::optional<std::uint64_t> end =
            block + 1 < blockCount ? readU64(table, tableOffset + std::uint64_t(block + 1) * 8) : compressedLength;
        if (!start || !end)
            break; // cut off: chmlib fails to read the rest on its own
        if (*end < *start || *end - *start > kCompressedBlockBuffer)
            return std::nullopt;
    }
    return blockCount;
}

// Where the bytes of an object lie in the file; none when the sum overflows.
std::optional<std::uint64_t> fileOffsetOf(std::uint64_t dataOffset, const ContainerObject& object)
{
    if (object.start > UINT64_MAX - dataOffset)
        return std::nullopt;
    return dataOffset + object.start;
}

// The whole of an object the file holds; none when it was cut off.
std::optional<QByteArrayView> heldBytes(QByteArrayView file, std::uint64_t dataOffset, const ContainerObject& object)
{
    const std::optional<std::uint64_t> at = fileOffsetOf(dataOffset, object);
    return at ? slice(file, *at, object.length) : std::nullopt;
}

class SectionCheck {
public:
    SectionCheck(QByteArrayView file, std::uint64_t dataOffset)
        : m_file(file)
        , m_dataOffset(dataOffset)
    {
    }

    // Notes the section objects; false when one of them is listed twice or not in section 0
    // (chmlib would try to decompress it before it can decompress anything).
    bool noteSectionObject(const ContainerObject& object)
    {
        for (std::size_t which = 0; which < kSectionObjectNames.size(); ++which) {
            if (!sameNameIgnoringAsciiCase(object.name, kSectionObjectNames[which]))
                continue;
            if (m_found[which] != nullptr || object.section != 0)
                return false;
            m_found[which] = &object;
        }
        return true;
    }

    // The compressed section chmlib sets up; none when it is described unsoundly.
    std::optional<Container> container() const
    {
        if (m_found[ResetTable] == nullptr || m_found[Content] == nullptr || m_found[ControlData] == nullptr)
            return Container{}; // chmlib leaves compression off
        // chmlib reads the control data whole and the reset table's header; when the file was cut
        // off inside them it leaves compression off.
        const std::optional<QByteArrayView> control = heldBytes(m_file, m_dataOffset, *m_found[ControlData]);
        const ContainerObject& tableObject = *m_found[ResetTable];
        const std::optional<std::uint64_t> tableAt = fileOffsetOf(m_dataOffset, tableObject);
        if (!control || !tableAt || !slice(m_file, *tableAt, std::min(tableObject.length, kResetTableHeaderLength)))
            return Container{};
        const std::optional<Decompression> decompression = controlDataDecompression(*control);
        const std::optional<CompressedSection> section = decompression ? compressedSection(*tableAt) : std::nullopt;
        if (!section)
            return std::nullopt;
        Container container;
        container.compressed = section;
        container.compressed->windowBits = decompression->windowBits;
        container.compressed->blocksPerReset = decompression->blocksPerReset;
        return container;
    }

private:
    // The reset table: its header and entries lie in the table object, the entries the file holds
    // describe blocks chmlib can read.
    std::optional<CompressedSection> compressedSection(std::uint64_t tableAt) const
    {
        const ContainerObject& tableObject = *m_found[ResetTable];
        const ContainerObject& content = *m_found[Content];
        const std::optional<std::uint64_t> contentAt = fileOffsetOf(m_dataOffset, content);
        if (tableObject.length < kResetTableHeaderLength || !contentAt)
            return std::nullopt;
        const std::uint64_t held = std::min(tableObject.length, static_cast<std::uint64_t>(m_file.size()) - tableAt);
        const QByteArrayView table = *slice(m_file, tableAt, held);
        const std::optional<std::uint64_t> blocks = resetTableBlockCount(table, tableObject.length, content.length);
        if (!blocks)
            return std::nullopt;
        CompressedSection section;
        section.contentOffset = *contentAt;
        section.compressedLength = *readU64(table, 24);
        section.blockCount = *blocks;
        const std::uint32_t tableOffset = *readU32(table, 12);
        for (std::uint64_t block = 0; block < *blocks; ++block) {
            const std::optional<std::uint64_t> start = readU64(table, tableOffset + block * 8);
            if (!start)
                break;
            section.blockStarts.push_back(*start);
        }
        return section;
    }

    QByteArrayView m_file;
    std::uint64_t m_dataOffset;
    std::array<const ContainerObject*, 3> m_found{};
};

} // namespace

std::optional<Container> compressedSectionOf(QByteArrayView file, std::uint64_t dataOffset,
                                             const std::vector<ContainerObject>& objects)
{
    SectionCheck sections(file, dataOffset);
    for (const ContainerObject& object : objects) {
        if (!sections.noteSectionObject(object))
            return std::nullopt;
    }
    return sections.container();
}

} // namespace CHMContainerCheck::Detail
