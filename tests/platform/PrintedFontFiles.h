#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// PDF documents as a browser prints them: one page showing a line of text in a composite font
// whose TrueType program is a subset of an installed face that kept the face's glyph ids.
namespace PrintedFontFiles {

struct Line {
    QString text;
    std::string postScriptName = "DejaVuSans"; // the installed face the subset is cut from
    std::string baseFont;                      // the name the PDF gives it; empty: tag + face name
    // Changes the printed document after it was built: text mapped elsewhere, glyphs altered.
    std::map<uint16_t, std::string> toUnicodeOverride; // glyph id to UTF-16BE text
    bool alterGlyphs = false;                          // one outline byte of the subset flipped
    bool simpleFont = false;                           // a simple TrueType font with one-byte codes (ASCII text only)
};

// One page per line, in order.
QByteArray printedPages(const std::vector<Line>& lines);

} // namespace PrintedFontFiles

// Renders a page with Poppler's Splash device at 72 dpi: width, height and RGB bytes.
struct RenderedPage {
    int width = 0;
    int height = 0;
    QByteArray rgb;
};
RenderedPage renderAt72Dpi(const QByteArray& pdf, int pageIndex);
