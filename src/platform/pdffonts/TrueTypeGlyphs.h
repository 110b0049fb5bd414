#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

struct hb_blob_t;
struct hb_face_t;

// The glyph outlines of a TrueType font program, by glyph id, as its glyf and loca tables hold
// them. Read-only: used to tell whether two programs draw a glyph the same way.
class TrueTypeGlyphs {
public:
    // The program's glyphs; empty (glyphCount 0) when it is not a TrueType program with outlines.
    explicit TrueTypeGlyphs(hb_face_t* face);
    ~TrueTypeGlyphs();
    TrueTypeGlyphs(const TrueTypeGlyphs&) = delete;
    TrueTypeGlyphs& operator=(const TrueTypeGlyphs&) = delete;

    unsigned glyphCount() const { return m_glyphCount; }
    // The outline's bytes without trailing padding; empty for an empty glyph or an unknown id.
    std::string_view glyph(unsigned glyphId) const;
    // Ids whose outline is not empty, in ascending order.
    std::vector<unsigned> drawnGlyphs() const;

private:
    struct BlobRelease {
        void operator()(hb_blob_t* blob) const;
    };
    std::unique_ptr<hb_blob_t, BlobRelease> m_glyf;
    std::vector<uint32_t> m_offsets; // glyphCount + 1 offsets into glyf
    unsigned m_glyphCount = 0;
};
