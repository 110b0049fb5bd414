#include "chm/CHMContainerCheckParts.h"

#include <algorithm>
#include <utility>

namespace CHMContainerCheck::Detail {

namespace {

// Listing chunk ("PMGL"): free space at 4, next chunk at 16, entries from 20. Index chunk
// ("PMGI"): free space at 4, entries from 8. The free space lies at the chunk's end.
constexpr std::uint64_t kListingEntriesStart = 0x14;
constexpr std::uint64_t kListingNextField = 0x10;
constexpr std::uint64_t kIndexEntriesStart = 0x08;
constexpr std::uint64_t kFreeSpaceField = 0x04;

// chmlib copies a name into a buffer of this many bytes and a NUL.
constexpr std::uint64_t kMaximumNameLength = 512;
// A 64-bit number takes ten bytes of seven bits.
constexpr int kMaximumEncodedIntegerBytes = 10;

// Reads the entries of one chunk, never past the end of its used part.
class EntryReader {
public:
    EntryReader(QByteArrayView chunk, std::uint64_t start, std::uint64_t end)
        : m_chunk(chunk)
        , m_position(start)
        , m_end(end)
    {}

    bool atEnd() const { return m_position >= m_end; }

    // Seven bits a byte, most significant first, the high bit set on every byte but the last.
    std::optional<std::uint64_t> encodedInteger()
    {
        std::uint64_t value = 0;
        for (int count = 0; count < kMaximumEncodedIntegerBytes && m_position < m_end; ++count) {
            const auto byte = static_cast<unsigned char>(m_chunk[static_cast<qsizetype>(m_position++)]);
            value = value << 7 | (byte & 0x7F);
            if ((byte & 0x80) == 0)
                return value;
        }
        return std::nullopt;
    }

    std::optional<QByteArray> name()
    {
        const std::optional<std::uint64_t> length = encodedInteger();
        if (!length || *length > kMaximumNameLength || *length > m_end - m_position)
            return std::nullopt;
        QByteArray bytes = m_chunk.sliced(static_cast<qsizetype>(m_position), static_cast<qsizetype>(*length)).toByteArray();
        m_position += *length;
        return bytes;
    }

private:
    QByteArrayView m_chunk;
    std::uint64_t m_position;
    std::uint64_t m_end;
};

// The end of a chunk's used part; none when the free space claims more than the entries' room.
std::optional<std::uint64_t> usedEnd(QByteArrayView chunk, std::uint64_t entriesStart)
{
    const std::uint32_t freeSpace = *readU32(chunk, kFreeSpaceField);
    const auto length = static_cast<std::uint64_t>(chunk.size());
    if (freeSpace > length - entriesStart)
        return std::nullopt;
    return length - freeSpace;
}

bool readListingEntries(QByteArrayView chunk, std::vector<ContainerObject>& objects)
{
    const std::optional<std::uint64_t> end = usedEnd(chunk, kListingEntriesStart);
    if (!end)
        return false;
    EntryReader reader(chunk, kListingEntriesStart, *end);
    while (!reader.atEnd()) {
        ContainerObject object;
        std::optional<QByteArray> name = reader.name();
        // chmlib's listing takes the last character of the name as strlen - 1.
        if (!name || name->isEmpty() || name->contains('\0'))
            return false;
        object.name = std::move(*name);
        const std::optional<std::uint64_t> section = reader.encodedInteger();
        const std::optional<std::uint64_t> start = reader.encodedInteger();
        const std::optional<std::uint64_t> length = reader.encodedInteger();
        if (!section || !start || !length)
            return false;
        object.section = *section;
        object.start = *start;
        object.length = *length;
        objects.push_back(std::move(object));
    }
    return true;
}

// The chunks an index chunk sends a lookup on to; none when an entry is malformed or points
// outside the directory.
std::optional<std::vector<std::uint64_t>> readIndexEntries(QByteArrayView chunk, std::uint64_t chunkCount)
{
    const std::optional<std::uint64_t> end = usedEnd(chunk, kIndexEntriesStart);
    if (!end)
        return std::nullopt;
    std::vector<std::uint64_t> children;
    EntryReader reader(chunk, kIndexEntriesStart, *end);
    while (!reader.atEnd()) {
        const std::optional<QByteArray> name = reader.name();
        const std::optional<std::uint64_t> child = name ? reader.encodedInteger() : std::nullopt;
        if (!child || *child >= chunkCount)
            return std::nullopt;
        children.push_back(*child);
    }
    return children;
}

enum class ChunkKind {
    Listing,
    Index,
    Other
};

class DirectoryWalk {
public:
    DirectoryWalk(QByteArrayView file, const Directory& directory)
        : m_file(file)
        , m_directory(directory)
        , m_present(presentChunks(file, directory))
        , m_listed(m_present, false)
    {
    }

    // Lookups go from the root through index chunks down to a listing chunk. Every path they can
    // take must end: a depth-first walk that finds a chunk on its own path has found a loop.
    bool walkIndex()
    {
        enum : std::uint8_t {
            Unseen,
            OnPath,
            Done
        };
        std::vector<std::uint8_t> state(m_present, Unseen);
        struct Step {
            std::uint64_t chunk;
            std::vector<std::uint64_t> children;
            std::size_t next = 0;
        };
        std::vector<Step> path;
        const auto enter = [&](std::uint64_t chunk) {
            state[chunk] = OnPath;
            const QByteArrayView bytes = chunkBytes(chunk);
            switch (kindOf(bytes)) {
            case ChunkKind::Listing:
                path.push_back({chunk, {}});
                return list(chunk);
            case ChunkKind::Index: {
                std::optional<std::vector<std::uint64_t>> children = readIndexEntries(bytes, m_directory.chunkCount);
                if (!children)
                    return false;
                path.push_back({chunk, std::move(*children)});
                return true;
            }
            case ChunkKind::Other:
                return false;
            }
            return false;
        };
        if (static_cast<std::uint64_t>(m_directory.indexRoot) >= m_present)
            return true;
        if (!enter(static_cast<std::uint64_t>(m_directory.indexRoot)))
            return false;
        while (!path.empty()) {
            Step& step = path.back();
            if (step.next == step.children.size()) {
                state[step.chunk] = Done;
                path.pop_back();
                continue;
            }
            const std::uint64_t child = step.children[step.next++];
            if (child >= m_present) // chmlib's lookup fails there
                continue;
            if (state[child] == OnPath)
                return false;
            if (state[child] == Unseen && !enter(child))
                return false;
        }
        return true;
    }

    // chmlib's enumeration runs from the listing head along the next-chunk links until -1.
    bool walkListingChain()
    {
        std::vector<bool> onChain(m_present, false);
        std::int64_t chunk = m_directory.indexHead;
        while (chunk != -1) {
            if (chunk < 0 || static_cast<std::uint64_t>(chunk) >= m_directory.chunkCount)
                return false;
            if (static_cast<std::uint64_t>(chunk) >= m_present) // chmlib's enumeration ends there
                return true;
            if (onChain[chunk])
                return false;
            onChain[chunk] = true;
            const QByteArrayView bytes = chunkBytes(static_cast<std::uint64_t>(chunk));
            if (kindOf(bytes) != ChunkKind::Listing || !list(static_cast<std::uint64_t>(chunk)))
                return false;
            chunk = static_cast<std::int32_t>(*readU32(bytes, kListingNextField));
        }
        return true;
    }

    std::vector<ContainerObject> takeObjects() { return std::move(m_objects); }

private:
    // The chunks the file holds whole; a file cut off inside its directory lacks the rest, and
    // chmlib fails to read them on its own.
    static std::uint64_t presentChunks(QByteArrayView file, const Directory& directory)
    {
        const auto size = static_cast<std::uint64_t>(file.size());
        const std::uint64_t held = directory.chunksOffset < size ? (size - directory.chunksOffset) / directory.chunkLength : 0;
        return std::min(held, directory.chunkCount);
    }

    // A chunk below m_present.
    QByteArrayView chunkBytes(std::uint64_t chunk) const
    {
        return *slice(m_file, m_directory.chunksOffset + chunk * m_directory.chunkLength, m_directory.chunkLength);
    }

    static ChunkKind kindOf(QByteArrayView chunk)
    {
        if (chunk.startsWith("PMGL"))
            return ChunkKind::Listing;
        if (chunk.startsWith("PMGI"))
            return ChunkKind::Index;
        return ChunkKind::Other;
    }

    // Each listing chunk's objects once, however many walks reach it.
    bool list(std::uint64_t chunk)
    {
        if (m_listed[chunk])
            return true;
        m_listed[chunk] = true;
        return readListingEntries(chunkBytes(chunk), m_objects);
    }

    QByteArrayView m_file;
    const Directory& m_directory;
    std::uint64_t m_present;
    std::vector<bool> m_listed;
    std::vector<ContainerObject> m_objects;
};

} // namespace

std::optional<std::vector<ContainerObject>> readReachableObjects(QByteArrayView file, const Directory& directory)
{
    DirectoryWalk walk(file, directory);
    if (!walk.walkIndex() || !walk.walkListingChain())
        return std::nullopt;
    return walk.takeObjects();
}

} // namespace CHMContainerCheck::Detail
