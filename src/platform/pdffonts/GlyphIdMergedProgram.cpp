#include "platform/pdffonts/GlyphIdMergedProgram.h"

#include <algorithm>
#include <vector>

namespace {

// Tables every subset must hold alike: they say how all glyphs are drawn.
const char* const kFaceWideTables[] = {"fpgm", "prep", "cvt ", "gasp"};
// Tables taken from the first subset as they are; the rest are rebuilt or left out.
const char* const kKeptTables[] = {"OS/2", "cmap", "name", "fpgm", "prep", "cvt ", "gasp"};

uint32_t readNumber(const std::string& bytes, size_t at, unsigned size)
{
    uint32_t value = 0;
    for (unsigned i = 0; i < size; ++i)
        value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

void writeNumber(std::string& bytes, size_t at, uint32_t value, unsigned size)
{
    for (unsigned i = 0; i < size; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * (size - 1 - i))) & 0xFF);
}

void appendNumber(std::string& bytes, uint32_t value, unsigned size)
{
    bytes.append(size, '\0');
    writeNumber(bytes, bytes.size() - size, value, size);
}

uint32_t checksum(const std::string& table)
{
    uint32_t sum = 0;
    std::string padded = table;
    padded.append((4 - padded.size() % 4) % 4, '\0');
    for (size_t at = 0; at < padded.size(); at += 4)
        sum += readNumber(padded, at, 4);
    return sum;
}

std::string withoutPadding(std::string outline)
{
    while (!outline.empty() && outline.back() == 0)
        outline.pop_back();
    return outline;
}

} // namespace

std::optional<GlyphIdMergedProgram::Tables> GlyphIdMergedProgram::tablesOf(const std::string& program)
{
    if (program.size() < 12 || readNumber(program, 0, 4) != 0x00010000)
        return std::nullopt;
    const unsigned count = readNumber(program, 4, 2);
    if (program.size() < 12 + 16 * static_cast<size_t>(count))
        return std::nullopt;
    Tables tables;
    for (unsigned i = 0; i < count; ++i) {
        const size_t record = 12 + 16 * static_cast<size_t>(i);
        const uint32_t offset = readNumber(program, record + 8, 4);
        const uint32_t length = readNumber(program, record + 12, 4);
        if (offset > program.size() || length > program.size() - offset)
            return std::nullopt;
        tables[program.substr(record, 4)] = program.substr(offset, length);
    }
    for (const char* needed : {"head", "hhea", "maxp", "loca", "glyf", "hmtx"}) {
        if (tables.count(needed) == 0)
            return std::nullopt;
    }
    if (tables["head"].size() < 54 || tables["hhea"].size() < 36 || tables["maxp"].size() < 32)
        return std::nullopt;
    return tables;
}

std::optional<std::map<unsigned, GlyphIdMergedProgram::Glyph>> GlyphIdMergedProgram::glyphsOf(const Tables& tables)
{
    const std::string& loca = tables.at("loca");
    const std::string& glyf = tables.at("glyf");
    const std::string& hmtx = tables.at("hmtx");
    const bool longOffsets = readNumber(tables.at("head"), 50, 2) != 0;
    const unsigned count = readNumber(tables.at("maxp"), 4, 2);
    const unsigned metrics = readNumber(tables.at("hhea"), 34, 2);
    const unsigned entry = longOffsets ? 4 : 2;
    if (metrics == 0 || metrics > count || loca.size() < (count + 1) * static_cast<size_t>(entry)
        || hmtx.size() < 4 * static_cast<size_t>(metrics) + 2 * static_cast<size_t>(count - metrics))
        return std::nullopt;
    std::map<unsigned, Glyph> glyphs;
    for (unsigned id = 0; id < count; ++id) {
        const uint32_t begin = readNumber(loca, id * entry, entry) * (longOffsets ? 1 : 2);
        const uint32_t end = readNumber(loca, (id + 1) * entry, entry) * (longOffsets ? 1 : 2);
        if (end < begin || end > glyf.size())
            return std::nullopt;
        if (end == begin)
            continue;
        Glyph glyph;
        glyph.outline = glyf.substr(begin, end - begin);
        glyph.drawing = withoutPadding(glyph.outline);
        glyph.advance = static_cast<uint16_t>(readNumber(hmtx, 4 * std::min(id, metrics - 1), 2));
        glyph.leftSideBearing = static_cast<int16_t>(
            id < metrics ? readNumber(hmtx, 4 * id + 2, 2) : readNumber(hmtx, 4 * metrics + 2 * (id - metrics), 2));
        glyphs[id] = glyph;
    }
    return glyphs;
}

bool GlyphIdMergedProgram::agreesWith(const Tables& tables, const std::map<unsigned, Glyph>& glyphs) const
{
    if (m_tables.empty())
        return true;
    if (readNumber(tables.at("head"), 18, 2) != readNumber(m_tables.at("head"), 18, 2)) // units per em
        return false;
    for (const char* tag : kFaceWideTables) {
        const auto own = tables.find(tag);
        const auto merged = m_tables.find(tag);
        if ((own == tables.end()) != (merged == m_tables.end()) || (own != tables.end() && own->second != merged->second))
            return false;
    }
    for (const auto& [id, glyph] : glyphs) {
        const auto known = m_glyphs.find(id);
        if (known != m_glyphs.end()
            && (known->second.drawing != glyph.drawing || known->second.advance != glyph.advance
                || known->second.leftSideBearing != glyph.leftSideBearing))
            return false;
    }
    return true;
}

bool GlyphIdMergedProgram::add(const std::string& program)
{
    const std::optional<Tables> tables = tablesOf(program);
    if (!tables)
        return false;
    const std::optional<std::map<unsigned, Glyph>> glyphs = glyphsOf(*tables);
    if (!glyphs || !agreesWith(*tables, *glyphs))
        return false;
    if (m_tables.empty()) {
        for (const char* tag : kKeptTables) {
            if (tables->count(tag) != 0)
                m_tables[tag] = tables->at(tag);
        }
        m_tables["head"] = tables->at("head");
        m_tables["hhea"] = tables->at("hhea");
        m_tables["maxp"] = tables->at("maxp");
    }
    m_glyphs.insert(glyphs->begin(), glyphs->end());
    m_glyphCount = std::max<unsigned>(m_glyphCount, readNumber(tables->at("maxp"), 4, 2));
    // maxp 1.0's limits after the glyph count: points, contours, zones, stack... the largest holds.
    const std::string& maxp = tables->at("maxp");
    for (size_t at = 6; at + 2 <= 32; at += 2)
        m_maxpLimits[at] = std::max<uint16_t>(m_maxpLimits[at], static_cast<uint16_t>(readNumber(maxp, at, 2)));
    return true;
}

std::string GlyphIdMergedProgram::program() const
{
    if (m_tables.empty())
        return {};
    Tables tables = m_tables;
    std::string glyf;
    std::string loca;
    std::string hmtx;
    uint16_t widest = 0;
    for (unsigned id = 0; id < m_glyphCount; ++id) {
        appendNumber(loca, static_cast<uint32_t>(glyf.size()), 4);
        const auto glyph = m_glyphs.find(id);
        if (glyph == m_glyphs.end()) {
            appendNumber(hmtx, 0, 2);
            appendNumber(hmtx, 0, 2);
            continue;
        }
        glyf += glyph->second.outline;
        glyf.append((4 - glyf.size() % 4) % 4, '\0');
        appendNumber(hmtx, glyph->second.advance, 2);
        appendNumber(hmtx, static_cast<uint16_t>(glyph->second.leftSideBearing), 2);
        widest = std::max(widest, glyph->second.advance);
    }
    appendNumber(loca, static_cast<uint32_t>(glyf.size()), 4);
    tables["glyf"] = glyf;
    tables["loca"] = loca;
    tables["hmtx"] = hmtx;
    writeNumber(tables["maxp"], 4, m_glyphCount, 2);
    for (const auto& [at, limit] : m_maxpLimits)
        writeNumber(tables["maxp"], at, limit, 2);
    writeNumber(tables["hhea"], 10, widest, 2);       // advanceWidthMax
    writeNumber(tables["hhea"], 34, m_glyphCount, 2); // numberOfHMetrics: one per glyph
    writeNumber(tables["head"], 50, 1, 2);            // long loca offsets
    writeNumber(tables["head"], 8, 0, 4);             // checkSumAdjustment, set below
    // Glyph names are given per glyph count: version 3 names none.
    tables["post"] = std::string(32, '\0');
    writeNumber(tables["post"], 0, 0x00030000, 4);

    std::string font;
    const unsigned count = static_cast<unsigned>(tables.size());
    unsigned power = 1;
    unsigned log = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log;
    }
    appendNumber(font, 0x00010000, 4);
    appendNumber(font, count, 2);
    appendNumber(font, power * 16, 2);
    appendNumber(font, log, 2);
    appendNumber(font, count * 16 - power * 16, 2);
    size_t offset = 12 + 16 * static_cast<size_t>(count);
    std::string data;
    for (const auto& [tag, table] : tables) { // std::map orders the tags as the directory wants
        font += tag;
        appendNumber(font, checksum(table), 4);
        appendNumber(font, static_cast<uint32_t>(offset + data.size()), 4);
        appendNumber(font, static_cast<uint32_t>(table.size()), 4);
        data += table;
        data.append((4 - data.size() % 4) % 4, '\0');
    }
    font += data;
    const size_t headAt = offset + [&] {
        size_t at = 0;
        for (const auto& [tag, table] : tables) {
            if (tag == "head")
                return at;
            at += table.size() + (4 - table.size() % 4) % 4;
        }
        return at;
    }();
    writeNumber(font, headAt + 8, 0xB1B0AFBA - checksum(font), 4);
    return font;
}
