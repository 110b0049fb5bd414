#include "platform/pdffonts/TrueTypeGlyphs.h"

#include <hb.h>

namespace {

uint32_t bigEndian(const char* data, unsigned size)
{
    uint32_t value = 0;
    for (unsigned i = 0; i < size; ++i)
        value = (value << 8) | static_cast<uint8_t>(data[i]);
    return value;
}

struct Table {
    hb_blob_t* blob;
    const char* data;
    unsigned size;

    Table(hb_face_t* face, hb_tag_t tag)
        : blob(hb_face_reference_table(face, tag))
    {
        data = hb_blob_get_data(blob, &size);
    }
    ~Table() { hb_blob_destroy(blob); }
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;
};

} // namespace

void TrueTypeGlyphs::BlobRelease::operator()(hb_blob_t* blob) const
{
    hb_blob_destroy(blob);
}

TrueTypeGlyphs::TrueTypeGlyphs(hb_face_t* face)
{
    const Table head(face, HB_TAG('h', 'e', 'a', 'd'));
    const Table maxp(face, HB_TAG('m', 'a', 'x', 'p'));
    const Table loca(face, HB_TAG('l', 'o', 'c', 'a'));
    if (head.size < 54 || maxp.size < 6 || loca.size == 0)
        return;
    const bool longOffsets = bigEndian(head.data + 50, 2) != 0;
    const unsigned count = bigEndian(maxp.data + 4, 2);
    const unsigned entrySize = longOffsets ? 4 : 2;
    if (loca.size < (count + 1) * entrySize)
        return;
    m_glyf.reset(hb_face_reference_table(face, HB_TAG('g', 'l', 'y', 'f')));
    unsigned glyfSize = 0;
    hb_blob_get_data(m_glyf.get(), &glyfSize);
    m_offsets.reserve(count + 1);
    for (unsigned i = 0; i <= count; ++i) {
        const uint32_t offset = bigEndian(loca.data + i * entrySize, entrySize) * (longOffsets ? 1 : 2);
        // Offsets that run backwards or past the table make the program unreadable for us.
        if (offset > glyfSize || (!m_offsets.empty() && offset < m_offsets.back())) {
            m_offsets.clear();
            return;
        }
        m_offsets.push_back(offset);
    }
    m_glyphCount = count;
}

TrueTypeGlyphs::~TrueTypeGlyphs() = default;

std::string_view TrueTypeGlyphs::glyph(unsigned glyphId) const
{
    if (glyphId >= m_glyphCount)
        return {};
    unsigned size = 0;
    const char* glyf = hb_blob_get_data(m_glyf.get(), &size);
    const uint32_t begin = m_offsets[glyphId];
    uint32_t end = m_offsets[glyphId + 1];
    // Subsetters pad outlines differently; the padding draws nothing.
    while (end > begin && glyf[end - 1] == 0)
        --end;
    return std::string_view(glyf + begin, end - begin);
}

std::vector<unsigned> TrueTypeGlyphs::drawnGlyphs() const
{
    std::vector<unsigned> drawn;
    for (unsigned id = 0; id < m_glyphCount; ++id) {
        if (m_offsets[id + 1] > m_offsets[id])
            drawn.push_back(id);
    }
    return drawn;
}
