#pragma once

#include "platform/pdffonts/InstalledFontFaces.h"
#include "platform/pdffonts/ToUnicodeCMap.h"

#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class TrueTypeGlyphs;
struct CidFontSubset;

// One font per face for the pages copied into a document. A browser embeds a fresh subset of
// every font in every printed page; the subsets of one face keep the face's glyph ids, so one
// program holding the union of their glyphs serves them all. Pages copied in get their fonts
// swapped for the shared font of their face; when the document is complete, the shared program
// is cut from the installed font file by HarfBuzz, or, for a face whose file is not installed
// (a web font) or differs from the one printed with, merged from the subsets glyph by glyph.
//
// A subset is shared only when that is safe: its glyphs are, id for id, those of the installed
// file (or of the other subsets merged), and its widths and text mapping agree with the shared
// font's (a face whose subsets disagree gets a second shared font). Any other font stays on its
// page as it was printed.
class PdfSharedFonts {
public:
    explicit PdfSharedFonts(QPDF& output);
    ~PdfSharedFonts();
    PdfSharedFonts(const PdfSharedFonts&) = delete;
    PdfSharedFonts& operator=(const PdfSharedFonts&) = delete;

    // Before a page of source is copied: its fonts that can be shared are replaced in source by
    // markers, so that their programs are not copied along.
    void prepareSourcePage(QPDF& source, QPDFObjectHandle page);
    // After the copy: the copied page's markers are replaced by the shared fonts.
    void pageCopied(QPDFObjectHandle copiedPage);
    // Cuts the programs and writes the widths and text maps of the shared fonts changed since
    // the last call. Before the document is written.
    bool complete(std::string* error = nullptr);

private:
    struct SharedFont;

    std::optional<size_t> sharedFontFor(const CidFontSubset& subset);
    bool matchesInstalledGlyphs(const CidFontSubset& subset, const std::string& faceName);
    size_t addSharedFont(const CidFontSubset& subset, bool fromInstalledFile);
    void completeFont(SharedFont& font);

    QPDF& m_output;
    InstalledFontFaces m_faces;
    std::map<std::string, std::unique_ptr<TrueTypeGlyphs>> m_installedGlyphs;
    std::vector<std::unique_ptr<SharedFont>> m_fonts;
    std::map<std::string, std::vector<size_t>> m_fontsByKey;
    // Fonts of the current source document already looked at: their shared font, or none.
    unsigned long long m_sourceId = 0;
    std::map<QPDFObjGen, std::optional<size_t>> m_sourceFonts;
};
