#include "common/RedrawPDFDocument.h"

#ifndef POINTERHOLDER_TRANSITION
#define POINTERHOLDER_TRANSITION 4
#endif
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <GlobalParams.h>
#include <PDFDoc.h>
#include <Stream.h>
#include <TextOutputDev.h>

#include <QByteArray>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

struct SourcePage {
    std::string cropBox; // empty: none
    int rotate = 0;
};

// Pages of 700 x 900 points with a word near the top left corner of the crop box [50 60 662 852].
QByteArray SourceDocument(const std::vector<SourcePage>& pages)
{
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle font =
        pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"));
    QPDFPageDocumentHelper helper(pdf);
    for (const SourcePage& spec : pages) {
        QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 700 900] >>");
        if (!spec.cropBox.empty())
            page.replaceKey("/CropBox", QPDFObjectHandle::parse(spec.cropBox));
        page.replaceKey("/Rotate", QPDFObjectHandle::newInteger(spec.rotate));
        QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
        fonts.replaceKey("/F1", font);
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/Font", fonts);
        page.replaceKey("/Resources", resources);
        page.replaceKey("/Contents", pdf.newStream(std::string("BT /F1 24 Tf 60 820 Td (Top) Tj ET\n")));
        helper.addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(page)), false);
    }
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.write();
    const auto buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), qsizetype(buffer->getSize()));
}

QByteArray Redrawn(const QByteArray& source)
{
    QPDF document;
    document.processMemoryFile("source", source.constData(), std::size_t(source.size()));
    return WBQUtil::RedrawPDFDocument(document);
}

struct Box {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

// Where the word "Top" appears on the displayed page (crop box, rotation applied), top-left origin.
std::optional<Box> WordBox(const QByteArray& pdf, int pageNumber)
{
    if (!globalParams)
        globalParams = std::make_unique<GlobalParams>();
    PDFDoc document(new MemStream(pdf.constData(), 0, pdf.size(), Object(objNull)));
    if (!document.isOk())
        return std::nullopt;
    TextOutputDev text(nullptr, false, 0, false, false);
    document.displayPage(&text, pageNumber, 72, 72, 0, false, true, false);
    const std::unique_ptr<TextWordList> words = text.makeWordList();
    for (int index = 0; index < words->getLength(); ++index) {
        TextWord* word = words->get(index);
        const std::unique_ptr<GooString> wordText(word->getText());
        if (wordText->toStr() == "Top") {
            Box box;
            word->getBBox(&box.xMin, &box.yMin, &box.xMax, &box.yMax);
            return box;
        }
    }
    return std::nullopt;
}

std::vector<double> MediaBoxOf(const QByteArray& pdf, std::size_t pageIndex)
{
    QPDF document;
    document.processMemoryFile("redrawn", pdf.constData(), std::size_t(pdf.size()));
    QPDFObjectHandle box = QPDFPageDocumentHelper(document).getAllPages().at(pageIndex).getMediaBox();
    std::vector<double> values;
    for (int index = 0; index < box.getArrayNItems(); ++index)
        values.push_back(box.getArrayItem(index).getNumericValue());
    return values;
}

TEST(RedrawPDFDocument, TurnsRotatedPagesUpright)
{
    const QByteArray redrawn = Redrawn(SourceDocument({{"[50 60 662 852]", 0}, {"[50 60 662 852]", 90}}));
    ASSERT_FALSE(redrawn.isEmpty());
    EXPECT_EQ(MediaBoxOf(redrawn, 0), (std::vector<double> {0, 0, 612, 792}));
    EXPECT_EQ(MediaBoxOf(redrawn, 1), (std::vector<double> {0, 0, 792, 612}));
}

// The content must land where a reader showed it on the source page, for every quarter turn.
TEST(RedrawPDFDocument, DrawsEachPageAsItWasDisplayed)
{
    const std::vector<SourcePage> pages {
        {"[50 60 662 852]", 0}, {"[50 60 662 852]", 90}, {"[50 60 662 852]", 180},
        {"[50 60 662 852]", 270}, {"[50 60 662 852]", -90}, {"", 90},
    };
    const QByteArray source = SourceDocument(pages);
    const QByteArray redrawn = Redrawn(source);
    ASSERT_FALSE(redrawn.isEmpty());
    for (int page = 1; page <= int(pages.size()); ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        const std::optional<Box> before = WordBox(source, page);
        const std::optional<Box> after = WordBox(redrawn, page);
        ASSERT_TRUE(before && after);
        EXPECT_NEAR(after->xMin, before->xMin, 0.5);
        EXPECT_NEAR(after->yMin, before->yMin, 0.5);
        EXPECT_NEAR(after->xMax, before->xMax, 0.5);
        EXPECT_NEAR(after->yMax, before->yMax, 0.5);
    }
}

TEST(RedrawPDFDocument, UsesTheMediaBoxWhenTheCropBoxIsEmpty)
{
    const QByteArray redrawn = Redrawn(SourceDocument({{"[10 10 10 500]", 0}}));
    ASSERT_FALSE(redrawn.isEmpty());
    EXPECT_EQ(MediaBoxOf(redrawn, 0), (std::vector<double> {0, 0, 700, 900}));
}

TEST(RedrawPDFDocument, WritesNoDocumentInformation)
{
    QPDF source;
    const QByteArray sourceBytes = SourceDocument({{"", 0}});
    source.processMemoryFile("source", sourceBytes.constData(), std::size_t(sourceBytes.size()));
    QPDFObjectHandle information = QPDFObjectHandle::parse("<< /Title (Secret) >>");
    source.getTrailer().replaceKey("/Info", source.makeIndirectObject(information));
    const QByteArray redrawn = WBQUtil::RedrawPDFDocument(source);
    QPDF written;
    written.processMemoryFile("redrawn", redrawn.constData(), std::size_t(redrawn.size()));
    EXPECT_FALSE(written.getTrailer().hasKey("/Info"));
    EXPECT_FALSE(redrawn.contains("Secret"));
}

} // namespace
