// Subsets of one face that give a glyph they both show different widths cannot share one font:
// one width array cannot say both, and the glyphs after it on the page would move.

#include "PrintedFontFiles.h"
#include "SharedFontsCheck.h"

#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include <gtest/gtest.h>

#include <map>
#include <string>

using PrintedFontFiles::Line;
using PrintedFontFiles::printedPages;
using SharedFontsCheck::copiedPages;
using SharedFontsCheck::programsByFace;

namespace {

constexpr int kGlyphOfH = 43; // in DejaVu Sans

// The widths of a /W array by glyph id.
std::map<int, QPDFObjectHandle> widthsOf(QPDFObjectHandle array)
{
    std::map<int, QPDFObjectHandle> widths;
    for (int at = 0; at + 1 < array.getArrayNItems();) {
        const int first = array.getArrayItem(at).getIntValueAsInt();
        QPDFObjectHandle next = array.getArrayItem(at + 1);
        if (next.isArray()) {
            for (int i = 0; i < next.getArrayNItems(); ++i)
                widths[first + i] = next.getArrayItem(i);
            at += 2;
        } else {
            for (int id = first; id <= next.getIntValueAsInt(); ++id)
                widths[id] = array.getArrayItem(at + 2);
            at += 3;
        }
    }
    return widths;
}

// The printed document with the width of glyph `id` in every composite font set to `width`.
QByteArray withGlyphWidth(const QByteArray& printed, int id, int width)
{
    QPDF document;
    document.processMemoryFile("printed", printed.constData(), static_cast<size_t>(printed.size()));
    for (QPDFObjectHandle object : document.getAllObjects()) {
        if (!object.isDictionary() || !object.getKey("/Type").isNameAndEquals("/Font")
            || !object.getKey("/Subtype").isNameAndEquals("/CIDFontType2"))
            continue;
        std::map<int, QPDFObjectHandle> widths = widthsOf(object.getKey("/W"));
        EXPECT_TRUE(widths.count(id) != 0);
        widths[id] = QPDFObjectHandle::newInteger(width);
        QPDFObjectHandle array = QPDFObjectHandle::newArray();
        for (const auto& [glyph, value] : widths) {
            array.appendItem(QPDFObjectHandle::newInteger(glyph));
            array.appendItem(QPDFObjectHandle::newArray({value}));
        }
        object.replaceKey("/W", array);
    }
    QPDFWriter writer(document);
    writer.setOutputMemory();
    writer.write();
    const auto buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), static_cast<qsizetype>(buffer->getSize()));
}

Line line(const QString& text)
{
    Line printed;
    printed.text = text;
    return printed;
}

} // namespace

TEST(SharedFontWidths, AGlyphOfAnotherWidthKeepsItsSubsetApart)
{
    const QByteArray hello = printedPages({line(QStringLiteral("Hello"))});
    const QByteArray help = printedPages({line(QStringLiteral("Help"))});
    const QByteArray wideH = withGlyphWidth(help, kGlyphOfH, 1400);
    EXPECT_EQ(programsByFace(copiedPages({hello, help}, true)), (std::map<std::string, int>{{"DejaVuSans", 1}}));
    const std::vector<QByteArray> printed{hello, wideH, printedPages({line(QStringLiteral("Hat"))})};
    EXPECT_EQ(programsByFace(copiedPages(printed, true)), (std::map<std::string, int>{{"DejaVuSans", 2}}));
    SharedFontsCheck::expectSameReading(copiedPages(printed, false), copiedPages(printed, true));
}
