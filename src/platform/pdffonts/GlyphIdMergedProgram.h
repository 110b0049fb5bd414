#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

// One TrueType program made of several subsets of a face that kept the face's glyph ids, for a
// face whose own file is not on the machine (a web font): the outlines are copied by glyph id,
// and loca, hmtx, maxp, hhea and head are rebuilt for the union. Tables that describe glyphs by
// their count or their characters (layout, device metrics, glyph names) are left out: a PDF
// reader draws a composite font's glyphs by id alone.
class GlyphIdMergedProgram {
public:
    // Adds the subset's glyphs. False, and the union unchanged, when the subset is not a TrueType
    // program this can read or does not agree with the union: a glyph both hold is drawn
    // differently, or the face-wide tables (units, hinting programs) differ.
    bool add(const std::string& program);
    bool isEmpty() const { return m_tables.empty(); }
    std::string program() const;

private:
    struct Glyph {
        std::string outline; // as the subset holds it
        std::string drawing; // the outline without trailing padding, which draws nothing
        uint16_t advance = 0;
        int16_t leftSideBearing = 0;
    };
    using Tables = std::map<std::string, std::string>; // tag to bytes

    static std::optional<Tables> tablesOf(const std::string& program);
    static std::optional<std::map<unsigned, Glyph>> glyphsOf(const Tables& tables);
    bool agreesWith(const Tables& tables, const std::map<unsigned, Glyph>& glyphs) const;

    Tables m_tables;                    // the face-wide tables of the first subset
    std::map<unsigned, Glyph> m_glyphs; // glyphs with outlines
    unsigned m_glyphCount = 0;
    std::map<size_t, uint16_t> m_maxpLimits; // maxp's limits by offset, the largest of the subsets'
};
