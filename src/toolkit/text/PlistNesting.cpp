#include "toolkit/text/PlistNesting.h"

#include <QByteArrayView>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace PlistNesting {

namespace {

// A big-endian unsigned number of 1 to 8 bytes at offset, or nothing when it lies outside.
std::optional<uint64_t> Number(const QByteArray& bytes, uint64_t offset, unsigned size)
{
    if (size < 1 || size > 8 || offset > static_cast<uint64_t>(bytes.size()) || bytes.size() - offset < size)
        return std::nullopt;
    uint64_t value = 0;
    for (unsigned i = 0; i < size; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[static_cast<qsizetype>(offset + i)]);
    return value;
}

class BinaryList {
public:
    explicit BinaryList(const QByteArray& bytes)
        : m_bytes(bytes)
    {
    }

    bool readTrailer()
    {
        constexpr qsizetype kTrailer = 32;
        if (m_bytes.size() < 8 + kTrailer)
            return false;
        const uint64_t trailer = static_cast<uint64_t>(m_bytes.size() - kTrailer);
        m_offsetSize = static_cast<unsigned char>(m_bytes[static_cast<qsizetype>(trailer + 6)]);
        m_refSize = static_cast<unsigned char>(m_bytes[static_cast<qsizetype>(trailer + 7)]);
        const auto objects = Number(m_bytes, trailer + 8, 8);
        const auto top = Number(m_bytes, trailer + 16, 8);
        const auto table = Number(m_bytes, trailer + 24, 8);
        if (!objects || !top || !table || *top >= *objects || m_refSize < 1 || m_refSize > 8)
            return false;
        if (m_offsetSize < 1 || m_offsetSize > 8 || *table > trailer || (trailer - *table) / m_offsetSize < *objects)
            return false;
        m_objectCount = *objects;
        m_tableOffset = *table;
        m_top = *top;
        return true;
    }

    // The longest chain of references from the top object, found in one pass over the objects it
    // reaches in the order of their references (a cycle leaves objects that are never reached that
    // way, and is refused like a chain too deep): every object and reference is looked at a fixed
    // number of times, however the list shares its objects.
    bool nestsWithin(int maxDepth) const
    {
        const auto count = static_cast<size_t>(m_objectCount);
        std::vector<uint32_t> references(count, 0);
        std::vector<bool> reached(count, false);
        std::vector<uint64_t> pending{m_top};
        reached[static_cast<size_t>(m_top)] = true;
        size_t reachedCount = 1;
        while (!pending.empty()) {
            const uint64_t object = pending.back();
            pending.pop_back();
            const bool sound = forEachChild(object, [&](uint64_t child) {
                ++references[static_cast<size_t>(child)];
                if (!reached[static_cast<size_t>(child)]) {
                    reached[static_cast<size_t>(child)] = true;
                    ++reachedCount;
                    pending.push_back(child);
                }
                return true;
            });
            if (!sound)
                return false;
        }
        if (references[static_cast<size_t>(m_top)] != 0)
            return false; // the top object inside itself
        std::vector<int> depth(count, 0);
        std::vector<uint64_t> ready{m_top};
        size_t ordered = 0;
        while (!ready.empty()) {
            const uint64_t object = ready.back();
            ready.pop_back();
            ++ordered;
            const int childDepth = depth[static_cast<size_t>(object)] + 1;
            const bool within = forEachChild(object, [&](uint64_t child) {
                int& deepest = depth[static_cast<size_t>(child)];
                deepest = std::max(deepest, childDepth);
                if (--references[static_cast<size_t>(child)] == 0)
                    ready.push_back(child);
                return deepest <= maxDepth;
            });
            if (!within)
                return false;
        }
        return ordered == reachedCount;
    }

private:
    template <class Visit>
    bool forEachChild(uint64_t object, Visit visit) const
    {
        const auto offset = Number(m_bytes, m_tableOffset + object * m_offsetSize, m_offsetSize);
        if (!offset || *offset >= static_cast<uint64_t>(m_bytes.size()))
            return false;
        const auto marker = static_cast<unsigned char>(m_bytes[static_cast<qsizetype>(*offset)]);
        const unsigned kind = marker >> 4;
        if (kind != 0xA && kind != 0xC && kind != 0xD)
            return true; // no children
        uint64_t count = marker & 0x0F;
        uint64_t start = *offset + 1;
        if (count == 0x0F) {
            const auto sizeMarker = Number(m_bytes, start, 1);
            if (!sizeMarker || (*sizeMarker >> 4) != 0x1 || (*sizeMarker & 0x0F) > 3)
                return false;
            const unsigned sizeBytes = 1u << (*sizeMarker & 0x0F);
            const auto size = Number(m_bytes, start + 1, sizeBytes);
            if (!size)
                return false;
            count = *size;
            start += 1 + sizeBytes;
        }
        if (count > static_cast<uint64_t>(m_bytes.size()) || start > static_cast<uint64_t>(m_bytes.size()))
            return false;
        const uint64_t refs = kind == 0xD ? count * 2 : count;
        if ((m_bytes.size() - start) / m_refSize < refs)
            return false;
        for (uint64_t i = 0; i < refs; ++i) {
            const auto child = Number(m_bytes, start + i * m_refSize, m_refSize);
            if (!child || *child >= m_objectCount || !visit(*child))
                return false;
        }
        return true;
    }

    const QByteArray& m_bytes;
    unsigned m_offsetSize = 0;
    unsigned m_refSize = 0;
    uint64_t m_objectCount = 0;
    uint64_t m_tableOffset = 0;
    uint64_t m_top = 0;
};

// The XML form: the deepest run of open <array> and <dict> elements. Comments and CDATA are not
// told apart, which can only make a list look deeper than it is.
bool XMLNestsWithin(const QByteArray& bytes, int maxDepth)
{
    int depth = 0;
    for (qsizetype at = bytes.indexOf('<'); at >= 0; at = bytes.indexOf('<', at + 1)) {
        const QByteArrayView rest = QByteArrayView(bytes).sliced(at + 1);
        const bool closing = rest.startsWith('/');
        const QByteArrayView name = closing ? rest.sliced(1) : rest;
        qsizetype length = 0;
        if (name.startsWith("array"))
            length = 5;
        else if (name.startsWith("dict"))
            length = 4;
        else
            continue;
        const qsizetype close = name.indexOf('>');
        if (close < length)
            continue;
        const char after = name[length];
        if (after != '>' && after != '/' && after != ' ' && after != '\t' && after != '\n' && after != '\r')
            continue;
        if (closing)
            depth = depth > 0 ? depth - 1 : 0;
        else if (name[close - 1] != '/' && ++depth > maxDepth)
            return false;
    }
    return true;
}

} // namespace

bool IsWithin(const QByteArray& plist, int maxDepth)
{
    if (plist.startsWith("bplist00")) {
        BinaryList list(plist);
        return list.readTrailer() && list.nestsWithin(maxDepth);
    }
    return XMLNestsWithin(plist, maxDepth);
}

} // namespace PlistNesting
