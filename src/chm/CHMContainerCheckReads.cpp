#include "chm/CHMContainerCheckReads.h"

#include "chm/LZXCheck.h"

#include <QFile>

#include <algorithm>

namespace CHMContainerCheck {

namespace {

// One LZX frame per block, read into a buffer this much longer.
constexpr std::uint64_t kBlockLength = LZXCheck::kFrameLength;
constexpr std::uint64_t kCompressedBlockBuffer = LZXCheck::kInputBufferLength;

// Where each of the blocks [first, end) lies in the compressed data, as far as the reset table
// and the file hold them soundly: the result may be shorter.
std::vector<std::pair<std::uint64_t, std::uint64_t>> blockSpans(const CompressedSection& section, std::uint64_t first,
                                                                std::uint64_t end, std::uint64_t fileSize)
{
    std::vector<std::pair<std::uint64_t, std::uint64_t>> spans;
    for (std::uint64_t block = first; block < end && block < section.blockStarts.size(); ++block) {
        const std::uint64_t start = section.blockStarts[block];
        std::uint64_t stop = section.compressedLength;
        if (block + 1 < section.blockCount) {
            if (block + 1 >= section.blockStarts.size())
                break;
            stop = section.blockStarts[block + 1];
        }
        const std::uint64_t at = section.contentOffset;
        if (stop < start || stop - start > kCompressedBlockBuffer || stop > UINT64_MAX - at || at + stop > fileSize)
            break;
        spans.emplace_back(start, stop);
    }
    return spans;
}

} // namespace

Reads::Reads(QString filePath, Container container)
    : m_filePath(std::move(filePath))
    , m_container(std::move(container))
{
}

bool Reads::compressedReadIsSafe(std::uint64_t start, std::uint64_t length)
{
    if (length == 0)
        return true;
    if (!m_container.compressed || start > UINT64_MAX - length)
        return false;
    const CompressedSection& section = *m_container.compressed;
    const std::uint64_t firstBlock = start / kBlockLength;
    const std::uint64_t lastBlock = (start + length - 1) / kBlockLength;
    if (lastBlock >= section.blockCount)
        return false;
    const std::lock_guard guard(m_lock);
    for (std::uint64_t interval = firstBlock / section.blocksPerReset; interval <= lastBlock / section.blocksPerReset; ++interval) {
        const std::uint64_t intervalStart = interval * section.blocksPerReset;
        const std::uint64_t needed = std::min<std::uint64_t>(lastBlock + 1 - intervalStart, section.blocksPerReset);
        if (safeBlocksOfInterval(interval) < needed)
            return false;
    }
    return true;
}

std::uint64_t Reads::safeBlocksOfInterval(std::uint64_t interval)
{
    const auto known = m_safeBlocks.find(interval);
    if (known != m_safeBlocks.end())
        return known->second;
    const std::uint64_t safe = checkInterval(interval);
    m_safeBlocks.emplace(interval, safe);
    return safe;
}

std::uint64_t Reads::checkInterval(std::uint64_t interval) const
{
    const CompressedSection& section = *m_container.compressed;
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const std::uint64_t first = interval * section.blocksPerReset;
    const auto spans = blockSpans(section, first, first + section.blocksPerReset, static_cast<std::uint64_t>(file.size()));
    if (spans.empty())
        return 0;
    // Read once: the blocks of an interval follow each other.
    const std::uint64_t begin = spans.front().first;
    const std::uint64_t end = spans.back().second;
    if (!file.seek(static_cast<qint64>(section.contentOffset + begin)))
        return 0;
    const QByteArray bytes = file.read(static_cast<qint64>(end - begin));
    if (static_cast<std::uint64_t>(bytes.size()) != end - begin)
        return 0;
    LZXCheck::Stream stream;
    stream.windowBits = section.windowBits;
    stream.framesPerReset = section.blocksPerReset;
    for (const auto& [start, stop] : spans)
        stream.frames.push_back(QByteArrayView(bytes).sliced(static_cast<qsizetype>(start - begin), static_cast<qsizetype>(stop - start)));
    return LZXCheck::safeFrameCount(stream);
}

} // namespace CHMContainerCheck
