#pragma once

#include "chm/CHMContainerCheck.h"

#include <QString>

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace CHMContainerCheck {

// Checks the compressed data before chmlib decompresses any of it. chmlib decodes a block only
// after every block since the last reset, so the unit checked is the reset interval, from its
// first block to its last (or to the first one the file does not hold whole); each interval is
// checked once, when a read first needs it, so opening a file costs no decompression at all.
class Reads {
public:
    Reads(QString filePath, Container container);

    // True when chmlib can decompress bytes [start, start + length) of the compressed section
    // without leaving its buffers; false as well when the file does not hold them whole, so
    // that chmlib is never asked for them (it would fill its block cache with nothing).
    bool compressedReadIsSafe(std::uint64_t start, std::uint64_t length);

private:
    // The leading blocks of an interval chmlib decodes safely.
    std::uint64_t safeBlocksOfInterval(std::uint64_t interval);
    std::uint64_t checkInterval(std::uint64_t interval) const;

    QString m_filePath;
    Container m_container;
    std::mutex m_lock;
    std::unordered_map<std::uint64_t, std::uint64_t> m_safeBlocks;
};

} // namespace CHMContainerCheck
