#include "support/PdfReadBack.h"
#include "support/PdfTestFiles.h"
#include "platform/PdfDocument.h"

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>
#include <gtest/gtest.h>

// An export copies one page after another from documents printed one by one, each with its own copy
// of the same resources and boxes; the output holds what repeats once.

namespace {

QByteArray written(QPDF& pdf)
{
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), static_cast<qsizetype>(buffer->getSize()));
}

// A page showing text whose resources also hold a one-pixel image of its own.
QByteArray pageWithImage(const QString& text)
{
    const QByteArray plain = PdfTestFiles::pagesWithTexts({text});
    QPDF pdf;
    pdf.processMemoryFile("image", plain.constData(), static_cast<size_t>(plain.size()));
    QPDFObjectHandle image = QPDFObjectHandle::newStream(&pdf, std::string("\xFF\x00\x00", 3));
    image.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    image.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
    image.getDict().replaceKey("/Width", QPDFObjectHandle::newInteger(1));
    image.getDict().replaceKey("/Height", QPDFObjectHandle::newInteger(1));
    image.getDict().replaceKey("/ColorSpace", QPDFObjectHandle::newName("/DeviceRGB"));
    image.getDict().replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
    QPDFObjectHandle xobjects = QPDFObjectHandle::newDictionary();
    xobjects.replaceKey("/Im1", image);
    QPDFObjectHandle page = pdf.getAllPages().at(0);
    page.getKey("/Resources").replaceKey("/XObject", xobjects);
    return written(pdf);
}

// The same text page with its box and resources inherited from the page tree.
QByteArray pageInheritingItsBoxAndResources(const QString& text, double width)
{
    const QByteArray plain = PdfTestFiles::pagesWithTexts({text}, QSizeF(width, 792));
    QPDF pdf;
    pdf.processMemoryFile("inherited", plain.constData(), static_cast<size_t>(plain.size()));
    QPDFObjectHandle page = pdf.getAllPages().at(0);
    QPDFObjectHandle tree = pdf.getRoot().getKey("/Pages");
    for (const char* key : {"/MediaBox", "/Resources"}) {
        tree.replaceKey(key, page.getKey(key));
        page.removeKey(key);
    }
    return written(pdf);
}

struct Output {
    QByteArray bytes;
    std::shared_ptr<QPDF> read = std::make_shared<QPDF>();
    std::vector<QPDFObjectHandle> pages;
};

Output readBack(const PdfDocument& document)
{
    Output output;
    output.bytes = document.toBytes();
    output.read->processMemoryFile("output", output.bytes.constData(), static_cast<size_t>(output.bytes.size()));
    output.pages = output.read->getAllPages();
    return output;
}

} // namespace

TEST(PdfSharedPageParts, PagesOfManyPrintsHoldTheirRepeatedResourcesAndBoxOnceAndReadAsPrinted)
{
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    output->shareFontsOfCopiedPages();
    QStringList texts;
    constexpr int kPrints = 30;
    for (int print = 0; print < kPrints; ++print) {
        texts << QStringLiteral("Topic %1").arg(print);
        const std::unique_ptr<PdfDocument> printed = PdfDocument::open(PdfTestFiles::pagesWithTexts({texts.last()}));
        ASSERT_TRUE(output->appendPageCopy(*printed, 0));
        // The printed page is left as it was.
        EXPECT_EQ(PdfReadBack::pageTexts(printed->toBytes()), QStringList{texts.last()});
    }
    Output written = readBack(*output);
    ASSERT_EQ(written.pages.size(), static_cast<size_t>(kPrints));
    EXPECT_EQ(PdfReadBack::pageTexts(written.bytes), texts);
    QPDFObjectHandle first = written.pages.front();
    for (QPDFObjectHandle page : written.pages) {
        EXPECT_EQ(page.getKey("/Resources").getObjGen(), first.getKey("/Resources").getObjGen());
        EXPECT_EQ(page.getKey("/MediaBox").getObjGen(), first.getKey("/MediaBox").getObjGen());
    }
    EXPECT_TRUE(first.getKey("/Resources").isIndirect());
    EXPECT_EQ(first.getKey("/Resources").getKey("/Font").getKey("/F1").getKey("/BaseFont").getName(), "/Helvetica");
    // A page and its content each, and the few objects held once: not a font of every page's own.
    EXPECT_LT(written.read->getObjectCount(), 2u * kPrints + 8);
}

TEST(PdfSharedPageParts, WhatAPageHasOfItsOwnStaysItsOwnAndTheRestIsShared)
{
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    output->shareFontsOfCopiedPages();
    const std::vector<QByteArray> prints{PdfTestFiles::pagesWithTexts({"Letter"}),
                                         PdfTestFiles::pagesWithTexts({"Wider"}, QSizeF(700, 792)),
                                         pageWithImage("Pictured"), pageWithImage("Pictured again"),
                                         pageInheritingItsBoxAndResources("Inherited", 500)};
    for (const QByteArray& print : prints) {
        const std::unique_ptr<PdfDocument> printed = PdfDocument::open(print);
        ASSERT_NE(printed, nullptr);
        ASSERT_TRUE(output->appendPageCopy(*printed, 0));
    }
    Output written = readBack(*output);
    ASSERT_EQ(written.pages.size(), prints.size());
    EXPECT_EQ(PdfReadBack::pageTexts(written.bytes),
              QStringList({"Letter", "Wider", "Pictured", "Pictured again", "Inherited"}));
    EXPECT_EQ(PdfReadBack::pageSize(written.bytes, 0), QSizeF(612, 792));
    EXPECT_EQ(PdfReadBack::pageSize(written.bytes, 1), QSizeF(700, 792));
    EXPECT_EQ(PdfReadBack::pageSize(written.bytes, 4), QSizeF(500, 792));
    // Boxes that differ are held apart.
    EXPECT_NE(written.pages[0].getKey("/MediaBox").getObjGen(), written.pages[1].getKey("/MediaBox").getObjGen());
    // Each picture keeps its own image beside the shared font.
    QPDFObjectHandle pictured = written.pages[2].getKey("/Resources");
    QPDFObjectHandle again = written.pages[3].getKey("/Resources");
    ASSERT_TRUE(pictured.getKey("/XObject").getKey("/Im1").isStream());
    EXPECT_NE(pictured.getKey("/XObject").getKey("/Im1").getObjGen(), again.getKey("/XObject").getKey("/Im1").getObjGen());
    EXPECT_EQ(pictured.getKey("/XObject").getKey("/Im1").getStreamData()->getSize(), 3u);
    EXPECT_TRUE(pictured.getKey("/Font").isIndirect());
    EXPECT_EQ(pictured.getKey("/Font").getObjGen(), again.getKey("/Font").getObjGen());
}

TEST(PdfSharedPageParts, PlainValuesHeldOnceReadAsEachPageHadThemAndChangeOnlyWhereChanged)
{
    // Every page says /Type /Page; these say more, some alike, some alike only to the eye.
    const std::vector<std::pair<const char*, const char*>> extras{
        {"/Rotate", "90"}, {"/Rotate", "90"}, {"/Rotate", "90.0"}, {"/Tabs", "/S"}, {"/Tabs", "(S)"}};
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    output->shareFontsOfCopiedPages();
    output->spillCopiedContents();
    QStringList texts;
    for (const auto& [key, value] : extras) {
        texts << QStringLiteral("Page %1").arg(texts.size());
        const QByteArray plain = PdfTestFiles::pagesWithTexts({texts.last()});
        QPDF pdf;
        pdf.processMemoryFile("extra", plain.constData(), static_cast<size_t>(plain.size()));
        QPDFObjectHandle page = pdf.getAllPages().at(0);
        page.replaceKey(key, QPDFObjectHandle::parse(value));
        const std::unique_ptr<PdfDocument> printed = PdfDocument::open(written(pdf));
        ASSERT_NE(printed, nullptr);
        ASSERT_TRUE(output->appendPageCopy(*printed, 0));
    }
    // The first page turns on; the second, which said the same, stays as it was.
    ASSERT_TRUE(output->setPageRotation(0, 270));

    Output result = readBack(*output);
    ASSERT_EQ(result.pages.size(), extras.size());
    EXPECT_EQ(PdfReadBack::pageTexts(result.bytes), texts);
    EXPECT_EQ(result.pages[0].getKey("/Rotate").unparse(), "270");
    EXPECT_EQ(result.pages[1].getKey("/Rotate").unparse(), "90");
    EXPECT_EQ(result.pages[2].getKey("/Rotate").unparse(), "90.0");
    EXPECT_EQ(result.pages[3].getKey("/Tabs").unparse(), "/S");
    EXPECT_EQ(result.pages[4].getKey("/Tabs").unparse(), "(S)");
    for (QPDFObjectHandle page : result.pages)
        EXPECT_EQ(page.getKey("/Type").unparse(), "/Page");
}
