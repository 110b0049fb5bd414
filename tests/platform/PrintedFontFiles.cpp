#include "PrintedFontFiles.h"

#include "platform/pdffonts/InstalledFontFaces.h"

#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <GlobalParams.h>
#include <PDFDoc.h>
#include <SplashOutputDev.h>
#include <Stream.h>
#include <splash/SplashBitmap.h>

#include <hb-subset.h>
#include <hb.h>

#include <QList>

#include <cstdio>
#include <memory>
#include <set>
#include <stdexcept>

namespace {

std::string hex4(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
    return text;
}

std::string bytesAsHex(const std::string& bytes)
{
    std::string text;
    for (const char c : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(c));
        text += digits;
    }
    return text;
}

struct Face {
    hb_face_t* face = nullptr;
    hb_font_t* font = nullptr;
    explicit Face(const std::string& postScriptName)
    {
        const auto [file, index] = InstalledFontFaces::fileOf(postScriptName);
        if (file.empty())
            throw std::runtime_error("font not installed: " + postScriptName);
        hb_blob_t* blob = hb_blob_create_from_file(file.c_str());
        face = hb_face_create(blob, static_cast<unsigned>(index));
        hb_blob_destroy(blob);
        font = hb_font_create(face);
    }
    ~Face()
    {
        hb_font_destroy(font);
        hb_face_destroy(face);
    }
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;
};

std::string subsetOf(hb_face_t* face, const std::set<unsigned>& glyphs)
{
    hb_subset_input_t* input = hb_subset_input_create_or_fail();
    for (const unsigned id : glyphs)
        hb_set_add(hb_subset_input_glyph_set(input), id);
    hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS);
    hb_face_t* subset = hb_subset_or_fail(face, input);
    hb_subset_input_destroy(input);
    hb_blob_t* blob = hb_face_reference_blob(subset);
    unsigned size = 0;
    const char* data = hb_blob_get_data(blob, &size);
    std::string bytes(data, size);
    hb_blob_destroy(blob);
    hb_face_destroy(subset);
    return bytes;
}

// Flips a bit in the last outline byte of the glyf table: the glyph no longer matches the face.
void alterLastGlyph(std::string& program)
{
    const unsigned tables = (static_cast<uint8_t>(program[4]) << 8) | static_cast<uint8_t>(program[5]);
    for (unsigned i = 0; i < tables; ++i) {
        const size_t record = 12 + 16 * i;
        if (program.compare(record, 4, "glyf") != 0)
            continue;
        auto number = [&](size_t at) {
            uint32_t value = 0;
            for (int k = 0; k < 4; ++k)
                value = (value << 8) | static_cast<uint8_t>(program[at + static_cast<size_t>(k)]);
            return value;
        };
        const uint32_t offset = number(record + 8);
        uint32_t length = number(record + 12);
        while (length > 0 && program[offset + length - 1] == 0)
            --length;
        if (length > 0)
            program[offset + length - 1] ^= 0x01;
    }
}

QPDFObjectHandle descriptorFor(QPDF& pdf, const std::string& name, const std::string& program, int flags)
{
    QPDFObjectHandle descriptor = QPDFObjectHandle::parse(
        "<< /Type /FontDescriptor /Ascent 928 /Descent -236 /CapHeight 700 /ItalicAngle 0 /StemV 80 "
        "/FontBBox [ -1021 -463 1793 1232 ] >>");
    descriptor.replaceKey("/Flags", QPDFObjectHandle::newInteger(flags));
    descriptor.replaceKey("/FontName", QPDFObjectHandle::newName(name));
    descriptor.replaceKey("/FontFile2", QPDFObjectHandle::newStream(&pdf, program));
    return pdf.makeIndirectObject(descriptor);
}

// A simple TrueType font with WinAnsi codes for ASCII text.
QPDFObjectHandle simpleFontFor(QPDF& pdf, const PrintedFontFiles::Line& line, std::string& shown)
{
    Face face(line.postScriptName);
    const unsigned upem = hb_face_get_upem(face.face);
    std::set<unsigned> glyphs;
    for (const QChar c : line.text) {
        hb_codepoint_t glyph = 0;
        hb_font_get_nominal_glyph(face.font, c.unicode(), &glyph);
        glyphs.insert(glyph);
        shown += hex4(c.unicode()).substr(2);
    }
    std::string widths = "[";
    for (unsigned code = 32; code <= 126; ++code) {
        hb_codepoint_t glyph = 0;
        hb_font_get_nominal_glyph(face.font, code, &glyph);
        widths += " " + std::to_string(hb_font_get_glyph_h_advance(face.font, glyph) * 1000.0 / upem);
    }
    const std::string name = "/BAAAAA+" + line.postScriptName;
    QPDFObjectHandle font = QPDFObjectHandle::parse(
        "<< /Type /Font /Subtype /TrueType /FirstChar 32 /LastChar 126 /Encoding /WinAnsiEncoding >>");
    font.replaceKey("/BaseFont", QPDFObjectHandle::newName(name));
    font.replaceKey("/Widths", QPDFObjectHandle::parse(widths + " ]"));
    font.replaceKey("/FontDescriptor", descriptorFor(pdf, name, subsetOf(face.face, glyphs), 32));
    return pdf.makeIndirectObject(font);
}

QPDFObjectHandle fontFor(QPDF& pdf, const PrintedFontFiles::Line& line, std::string& shown)
{
    if (line.simpleFont)
        return simpleFontFor(pdf, line, shown);
    Face face(line.postScriptName);
    const unsigned upem = hb_face_get_upem(face.face);
    std::set<unsigned> glyphs;
    std::map<unsigned, std::string> toUnicode;
    for (const uint32_t c : line.text.toUcs4()) {
        hb_codepoint_t glyph = 0;
        hb_font_get_nominal_glyph(face.font, c, &glyph);
        glyphs.insert(glyph);
        shown += hex4(glyph);
        const QString single = QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
        std::string utf16;
        for (const QChar unit : single)
            utf16 += std::string{static_cast<char>(unit.unicode() >> 8), static_cast<char>(unit.unicode() & 0xFF)};
        toUnicode[glyph] = utf16;
    }
    for (const auto& [glyph, text] : line.toUnicodeOverride)
        toUnicode[glyph] = text;
    std::string widths = "[";
    for (const unsigned glyph : glyphs) {
        const double width = hb_font_get_glyph_h_advance(face.font, glyph) * 1000.0 / upem;
        widths += " " + std::to_string(glyph) + " [ " + std::to_string(width) + " ]";
    }
    std::string cmap = "/CIDInit /ProcSet findresource begin 12 dict begin begincmap /CMapName /Adobe-Identity-UCS def "
                       "/CMapType 2 def 1 begincodespacerange <0000> <FFFF> endcodespacerange "
                       + std::to_string(toUnicode.size()) + " beginbfchar\n";
    for (const auto& [glyph, text] : toUnicode)
        cmap += "<" + hex4(glyph) + "> <" + bytesAsHex(text) + ">\n";
    cmap += "endbfchar endcmap CMapName currentdict /CMap defineresource pop end end\n";

    std::string program = subsetOf(face.face, glyphs);
    if (line.alterGlyphs)
        alterLastGlyph(program);
    const std::string name = "/" + (line.baseFont.empty() ? "AAAAAA+" + line.postScriptName : line.baseFont);
    QPDFObjectHandle cid = QPDFObjectHandle::parse("<< /Type /Font /Subtype /CIDFontType2 /CIDSystemInfo << /Registry "
                                                   "(Adobe) /Ordering (Identity) /Supplement 0 >> /CIDToGIDMap /Identity /DW 0 >>");
    cid.replaceKey("/BaseFont", QPDFObjectHandle::newName(name));
    cid.replaceKey("/W", QPDFObjectHandle::parse(widths + " ]"));
    cid.replaceKey("/FontDescriptor", descriptorFor(pdf, name, program, 4));
    QPDFObjectHandle type0 = QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type0 /Encoding /Identity-H >>");
    type0.replaceKey("/BaseFont", QPDFObjectHandle::newName(name));
    type0.replaceKey("/DescendantFonts", QPDFObjectHandle::newArray({pdf.makeIndirectObject(cid)}));
    type0.replaceKey("/ToUnicode", QPDFObjectHandle::newStream(&pdf, cmap));
    return pdf.makeIndirectObject(type0);
}

} // namespace

namespace PrintedFontFiles {

QByteArray printedPages(const std::vector<Line>& lines)
{
    QPDF pdf;
    pdf.emptyPDF();
    QPDFPageDocumentHelper pages(pdf);
    for (const Line& line : lines) {
        std::string shown;
        QPDFObjectHandle font = fontFor(pdf, line, shown);
        QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /MediaBox [ 0 0 300 100 ] >>");
        QPDFObjectHandle resources = QPDFObjectHandle::parse("<< /Font << >> >>");
        resources.getKey("/Font").replaceKey("/F1", font);
        page.replaceKey("/Resources", resources);
        page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, "BT /F1 24 Tf 10 40 Td <" + shown + "> Tj ET\n"));
        pages.addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(page)), false);
    }
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), static_cast<qsizetype>(buffer->getSize()));
}

} // namespace PrintedFontFiles

RenderedPage renderAt72Dpi(const QByteArray& pdf, int pageIndex)
{
    if (!globalParams)
        globalParams = std::make_unique<GlobalParams>();
    PDFDoc document(new MemStream(pdf.constData(), 0, pdf.size(), Object(objNull)));
    if (!document.isOk() || pageIndex >= document.getNumPages())
        return {};
    SplashColor white;
    white[0] = white[1] = white[2] = 0xFF;
    SplashOutputDev device(splashModeRGB8, 4, false, white);
    device.startDoc(&document);
    document.displayPage(&device, pageIndex + 1, 72, 72, 0, false, true, false);
    SplashBitmap* bitmap = device.getBitmap();
    RenderedPage page{bitmap->getWidth(), bitmap->getHeight(), {}};
    for (int y = 0; y < bitmap->getHeight(); ++y) {
        const char* row = reinterpret_cast<const char*>(bitmap->getDataPtr()) + static_cast<std::ptrdiff_t>(y) * bitmap->getRowSize();
        page.rgb.append(row, 3 * bitmap->getWidth());
    }
    return page;
}
