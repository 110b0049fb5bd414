#include "platform/pdffonts/PdfSharedFonts.h"

#include "platform/pdffonts/CidFontSubset.h"
#include "platform/pdffonts/GlyphIdMergedProgram.h"
#include "platform/pdffonts/TrueTypeGlyphs.h"

#include <hb-subset.h>
#include <hb.h>

#include <algorithm>
#include <exception>
#include <functional>

namespace {

// A font entry of a copied page that stands for shared font number N until the copy is done.
const char* const kMarkerKey = "/TomefoldSharedFont";

// Tables a PDF reader never consults for a CID font's glyphs: the shared program goes without them.
constexpr hb_tag_t kDroppedTables[] = {
    HB_TAG('G', 'S', 'U', 'B'),
    HB_TAG('G', 'P', 'O', 'S'),
    HB_TAG('G', 'D', 'E', 'F'),
    HB_TAG('M', 'A', 'T', 'H'),
    HB_TAG('B', 'A', 'S', 'E'),
    HB_TAG('J', 'S', 'T', 'F'),
    HB_TAG('k', 'e', 'r', 'n'),
    HB_TAG('m', 'o', 'r', 'x'),
};

// Every font dictionary of these resources and of the forms they draw, each form once.
void forEachFontDictionary(QPDFObjectHandle resources, const std::function<void(QPDFObjectHandle)>& visit,
                           std::set<QPDFObjGen>& seenForms)
{
    if (!resources.isDictionary())
        return;
    QPDFObjectHandle fonts = resources.getKey("/Font");
    if (fonts.isDictionary())
        visit(fonts);
    QPDFObjectHandle xobjects = resources.getKey("/XObject");
    if (!xobjects.isDictionary())
        return;
    for (auto [name, xobject] : xobjects.ditems()) {
        if (!xobject.isStream() || !xobject.getDict().getKey("/Subtype").isNameAndEquals("/Form"))
            continue;
        if (xobject.isIndirect() && !seenForms.insert(xobject.getObjGen()).second)
            continue;
        forEachFontDictionary(xobject.getDict().getKey("/Resources"), visit, seenForms);
    }
}

void forEachFontDictionaryOfPage(QPDFObjectHandle page, const std::function<void(QPDFObjectHandle)>& visit)
{
    std::set<QPDFObjGen> seenForms;
    forEachFontDictionary(page.getKey("/Resources"), visit, seenForms);
}

std::optional<size_t> markerIndex(QPDFObjectHandle value)
{
    if (!value.isDictionary() || value.isIndirect())
        return std::nullopt;
    QPDFObjectHandle index = value.getKey(kMarkerKey);
    if (!index.isInteger() || index.getIntValue() < 0)
        return std::nullopt;
    return static_cast<size_t>(index.getIntValue());
}

// A subset tag of six capitals for shared font number n.
std::string subsetTag(size_t n)
{
    std::string tag = "TFAAAA";
    for (size_t at = tag.size(); at > 2 && n > 0; --at, n /= 26)
        tag[at - 1] = static_cast<char>('A' + n % 26);
    return tag;
}

struct HbFace {
    hb_face_t* face;
    explicit HbFace(hb_face_t* f)
        : face(f)
    {}
    ~HbFace() { hb_face_destroy(face); }
    HbFace(const HbFace&) = delete;
    HbFace& operator=(const HbFace&) = delete;
};

// A face over bytes that outlive it.
hb_face_t* faceOfBytes(const std::string& bytes)
{
    hb_blob_t* blob = hb_blob_create_or_fail(bytes.data(), static_cast<unsigned>(bytes.size()),
                                             HB_MEMORY_MODE_READONLY, nullptr, nullptr);
    hb_face_t* face = hb_face_create(blob, 0);
    hb_blob_destroy(blob);
    return face;
}

// The installed face cut down to these glyphs, their ids kept; empty when HarfBuzz fails.
std::string subsetProgram(hb_face_t* installed, const std::set<unsigned>& glyphs)
{
    hb_subset_input_t* input = hb_subset_input_create_or_fail();
    if (input == nullptr)
        return {};
    hb_set_t* glyphSet = hb_subset_input_glyph_set(input);
    for (const unsigned id : glyphs)
        hb_set_add(glyphSet, id);
    hb_set_t* dropped = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (const hb_tag_t tag : kDroppedTables)
        hb_set_add(dropped, tag);
    unsigned flags = HB_SUBSET_FLAGS_RETAIN_GIDS;
    // The printed subsets leave .notdef empty unless a page drew it.
    if (glyphs.count(0) != 0)
        flags |= HB_SUBSET_FLAGS_NOTDEF_OUTLINE;
    hb_subset_input_set_flags(input, flags);
    hb_face_t* subset = hb_subset_or_fail(installed, input);
    hb_subset_input_destroy(input);
    if (subset == nullptr)
        return {};
    hb_blob_t* blob = hb_face_reference_blob(subset);
    unsigned size = 0;
    const char* data = hb_blob_get_data(blob, &size);
    std::string program(data, size);
    hb_blob_destroy(blob);
    hb_face_destroy(subset);
    return program;
}

// True when every drawn glyph of the program is, byte for byte, that glyph of the reference.
bool drawsLike(const TrueTypeGlyphs& program, const TrueTypeGlyphs& reference)
{
    if (program.glyphCount() == 0 || program.glyphCount() > reference.glyphCount())
        return false;
    for (const unsigned id : program.drawnGlyphs()) {
        if (program.glyph(id) != reference.glyph(id))
            return false;
    }
    return true;
}

// HarfBuzz here must cut the installed glyphs as they are, or the face is not shared: tried once
// per face on some of its glyphs.
bool subsetterKeepsGlyphs(hb_face_t* installed, const TrueTypeGlyphs& glyphs)
{
    const std::vector<unsigned> drawn = glyphs.drawnGlyphs();
    const std::set<unsigned> sample(drawn.begin(), drawn.begin() + static_cast<long>(std::min<size_t>(drawn.size(), 64)));
    const std::string cut = subsetProgram(installed, sample);
    const HbFace cutFace(faceOfBytes(cut));
    return !cut.empty() && drawsLike(TrueTypeGlyphs(cutFace.face), glyphs);
}

} // namespace

struct PdfSharedFonts::SharedFont {
    std::string faceName;
    hb_face_t* installed = nullptr; // owned by m_faces; null: the subsets are merged
    std::unique_ptr<GlyphIdMergedProgram> merged;
    std::set<unsigned> drawn; // glyphs with outlines, the program's glyph set
    std::set<uint16_t> used;  // glyphs some page shows
    std::map<uint16_t, std::string> widths;
    ToUnicodeCMap::Map toUnicode;
    QPDFObjectHandle type0;
    QPDFObjectHandle descendant;
    QPDFObjectHandle program;
    QPDFObjectHandle toUnicodeStream; // null when the face's subsets carry no map
    bool changed = true;
};

PdfSharedFonts::PdfSharedFonts(QPDF& output)
    : m_output(output)
{
}

PdfSharedFonts::~PdfSharedFonts() = default;

void PdfSharedFonts::prepareSourcePage(QPDF& source, QPDFObjectHandle page)
{
    if (source.getUniqueId() != m_sourceId) {
        m_sourceId = source.getUniqueId();
        m_sourceFonts.clear();
    }
    forEachFontDictionaryOfPage(page, [this](QPDFObjectHandle fonts) {
        std::map<std::string, QPDFObjectHandle> markers;
        for (auto [name, font] : fonts.ditems()) {
            if (markerIndex(font))
                continue;
            std::optional<size_t> shared;
            const auto known = font.isIndirect() ? m_sourceFonts.find(font.getObjGen()) : m_sourceFonts.end();
            if (known != m_sourceFonts.end()) {
                shared = known->second;
            } else {
                try {
                    const std::optional<CidFontSubset> subset = CidFontSubset::read(font);
                    shared = subset ? sharedFontFor(*subset) : std::nullopt;
                } catch (const std::exception&) {
                    // A font that cannot be looked at stays on its page as printed.
                    shared = std::nullopt;
                }
                if (font.isIndirect())
                    m_sourceFonts[font.getObjGen()] = shared;
            }
            if (shared) {
                QPDFObjectHandle marker = QPDFObjectHandle::newDictionary();
                marker.replaceKey(kMarkerKey, QPDFObjectHandle::newInteger(static_cast<long long>(*shared)));
                markers[name] = marker;
            }
        }
        for (const auto& [name, marker] : markers)
            fonts.replaceKey(name, marker);
    });
}

void PdfSharedFonts::pageCopied(QPDFObjectHandle copiedPage)
{
    forEachFontDictionaryOfPage(copiedPage, [this](QPDFObjectHandle fonts) {
        std::map<std::string, QPDFObjectHandle> shared;
        for (auto [name, font] : fonts.ditems()) {
            const std::optional<size_t> index = markerIndex(font);
            if (index && *index < m_fonts.size())
                shared[name] = m_fonts[*index]->type0;
        }
        for (const auto& [name, font] : shared)
            fonts.replaceKey(name, font);
    });
}

bool PdfSharedFonts::matchesInstalledGlyphs(const CidFontSubset& subset, const std::string& faceName)
{
    hb_face_t* installed = m_faces.faceNamed(faceName);
    if (installed == nullptr)
        return false;
    std::unique_ptr<TrueTypeGlyphs>& reference = m_installedGlyphs[faceName];
    if (!reference) {
        reference = std::make_unique<TrueTypeGlyphs>(installed);
        if (!subsetterKeepsGlyphs(installed, *reference))
            reference = std::make_unique<TrueTypeGlyphs>(hb_face_get_empty());
    }
    const HbFace face(faceOfBytes(subset.program));
    const TrueTypeGlyphs glyphs(face.face);
    return reference->glyphCount() > 0 && drawsLike(glyphs, *reference);
}

std::optional<size_t> PdfSharedFonts::sharedFontFor(const CidFontSubset& subset)
{
    const bool fromInstalledFile = matchesInstalledGlyphs(subset, subset.faceName);
    const std::set<unsigned> drawn = [&] {
        const HbFace face(faceOfBytes(subset.program));
        const std::vector<unsigned> ids = TrueTypeGlyphs(face.face).drawnGlyphs();
        return std::set<unsigned>(ids.begin(), ids.end());
    }();
    // The glyphs a page of the subset shows: those the text map names, or without a map those
    // with outlines. Outlines alone do not tell: a glyph may be there only as a part of another
    // (the ring of "å"). Nor do widths: a writer may give the other ids of its width array any
    // width that keeps the array short.
    std::set<uint16_t> used;
    if (subset.toUnicode) {
        for (const auto& entry : *subset.toUnicode)
            used.insert(entry.first);
    } else {
        for (const unsigned id : drawn)
            used.insert(static_cast<uint16_t>(id));
    }
    std::map<uint16_t, std::string> widths;
    for (const uint16_t id : used) {
        const auto width = subset.widths.find(id);
        if (width != subset.widths.end())
            widths.insert(*width);
    }
    // Joins the first shared font of the face that shows every glyph both use the same way
    // (and, when merged glyph by glyph, draws them the same way).
    auto agrees = [&](SharedFont& font) {
        if ((font.installed != nullptr) != fromInstalledFile)
            return false;
        for (const uint16_t id : used) {
            if (font.used.count(id) == 0)
                continue;
            const auto width = font.widths.find(id);
            const auto ownWidth = widths.find(id);
            if ((width == font.widths.end()) != (ownWidth == widths.end())
                || (ownWidth != widths.end() && width->second != ownWidth->second))
                return false;
            const auto text = font.toUnicode.find(id);
            const bool hasOwnText = subset.toUnicode && subset.toUnicode->count(id) != 0;
            if ((text == font.toUnicode.end()) == hasOwnText
                || (hasOwnText && text->second != subset.toUnicode->at(id)))
                return false;
        }
        return font.installed != nullptr || font.merged->add(subset.program);
    };
    std::optional<size_t> chosen;
    for (const size_t index : m_fontsByKey[subset.faceKey]) {
        if (agrees(*m_fonts[index])) {
            chosen = index;
            break;
        }
    }
    if (!chosen) {
        std::unique_ptr<GlyphIdMergedProgram> merged;
        if (!fromInstalledFile) {
            merged = std::make_unique<GlyphIdMergedProgram>();
            if (!merged->add(subset.program))
                return std::nullopt;
        }
        chosen = addSharedFont(subset, fromInstalledFile);
        m_fonts[*chosen]->merged = std::move(merged);
    }
    SharedFont& font = *m_fonts[*chosen];
    font.drawn.insert(drawn.begin(), drawn.end());
    font.used.insert(used.begin(), used.end());
    font.widths.insert(widths.begin(), widths.end());
    if (subset.toUnicode)
        font.toUnicode.insert(subset.toUnicode->begin(), subset.toUnicode->end());
    font.changed = true;
    return chosen;
}

size_t PdfSharedFonts::addSharedFont(const CidFontSubset& subset, bool fromInstalledFile)
{
    const size_t index = m_fonts.size();
    auto font = std::make_unique<SharedFont>();
    font->faceName = subset.faceName;
    font->installed = fromInstalledFile ? m_faces.faceNamed(subset.faceName) : nullptr;
    const std::string name = "/" + subsetTag(index) + "+" + subset.faceName;
    font->program = QPDFObjectHandle::newStream(&m_output, std::string());
    QPDFObjectHandle descriptor = QPDFObjectHandle::parse("<< " + subset.descriptorValues + " >>");
    descriptor.replaceKey("/FontName", QPDFObjectHandle::newName(name));
    descriptor.replaceKey("/FontFile2", font->program);
    font->descendant = QPDFObjectHandle::parse("<< " + subset.descendantValues + " >>");
    font->descendant.replaceKey("/BaseFont", QPDFObjectHandle::newName(name));
    font->descendant.replaceKey("/FontDescriptor", m_output.makeIndirectObject(descriptor));
    font->descendant = m_output.makeIndirectObject(font->descendant);
    QPDFObjectHandle type0 = QPDFObjectHandle::parse("<< " + subset.type0Values + " >>");
    type0.replaceKey("/BaseFont", QPDFObjectHandle::newName(name));
    type0.replaceKey("/DescendantFonts", QPDFObjectHandle::newArray({font->descendant}));
    if (subset.toUnicode) {
        font->toUnicodeStream = QPDFObjectHandle::newStream(&m_output, std::string());
        type0.replaceKey("/ToUnicode", font->toUnicodeStream);
    }
    font->type0 = m_output.makeIndirectObject(type0);
    m_fonts.push_back(std::move(font));
    m_fontsByKey[subset.faceKey].push_back(index);
    return index;
}

void PdfSharedFonts::completeFont(SharedFont& font)
{
    const std::string program = font.installed != nullptr ? subsetProgram(font.installed, font.drawn) : font.merged->program();
    if (program.empty())
        throw std::runtime_error("cannot cut the shared program of " + font.faceName);
    font.program.replaceStreamData(program, QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
    font.program.getDict().replaceKey("/Length1", QPDFObjectHandle::newInteger(static_cast<long long>(program.size())));
    std::string widths = "[";
    for (auto entry = font.widths.begin(); entry != font.widths.end();) {
        widths += " " + std::to_string(entry->first) + " [";
        uint16_t next = entry->first;
        for (; entry != font.widths.end() && entry->first == next; ++entry, ++next)
            widths += " " + entry->second;
        widths += " ]";
    }
    font.descendant.replaceKey("/W", QPDFObjectHandle::parse(widths + " ]"));
    if (font.toUnicodeStream.isStream()) {
        font.toUnicodeStream.replaceStreamData(ToUnicodeCMap::write(font.toUnicode), QPDFObjectHandle::newNull(),
                                               QPDFObjectHandle::newNull());
    }
    font.changed = false;
}

bool PdfSharedFonts::complete(std::string* error)
{
    try {
        for (const std::unique_ptr<SharedFont>& font : m_fonts) {
            if (font->changed)
                completeFont(*font);
        }
    } catch (const std::exception& e) {
        if (error != nullptr)
            *error = e.what();
        return false;
    }
    return true;
}
