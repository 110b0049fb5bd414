#pragma once

#include "platform/pdffonts/ToUnicodeCMap.h"

#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDFObjectHandle.hh>

#include <cstdint>
#include <map>
#include <optional>
#include <string>

// A composite font of a printed page whose TrueType program is a subset that kept the face's
// own glyph ids (Identity-H codes, an identity CID-to-glyph map), as Chromium writes them. Such
// subsets of one face can be served by one program holding the union of their glyphs.
struct CidFontSubset {
    std::string faceName; // BaseFont less its subset tag
    // Name, kinds and metrics: subsets with equal keys describe the face the same way.
    std::string faceKey;
    std::string type0Values;                     // the Type0 dictionary without BaseFont, DescendantFonts and ToUnicode
    std::string descendantValues;                // the descendant without BaseFont, FontDescriptor and W
    std::string descriptorValues;                // the descriptor without FontName and FontFile2
    std::map<uint16_t, std::string> widths;      // glyph id to its width as written; zero widths left out
    std::optional<ToUnicodeCMap::Map> toUnicode; // none when the font has no ToUnicode map
    std::string program;                         // the decoded TrueType program

    // Null for any other kind of font (simple fonts, Type 3, CFF programs, other CID maps,
    // unreadable parts): those stay as they are.
    static std::optional<CidFontSubset> read(QPDFObjectHandle font);
};
