#include "support/PdfReadBack.h"
#include "support/PdfTestFiles.h"
#include "support/TestPdf.h"
#include "platform/PdfDocument.h"
#include "platform/PdfOutline.h"

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

// Documents as other programs hand them over: locked, turned, cropped through their page tree,
// with outlines of their own. They are made here with qpdf and read through PdfDocument.

namespace {

QByteArray bytesOf(QPDF& pdf, const std::function<void(QPDFWriter&)>& configure = {})
{
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.setStaticID(true); // the same document bytes every run
    if (configure)
        configure(writer);
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), static_cast<qsizetype>(buffer->getSize()));
}

// A document of count empty Letter pages.
std::unique_ptr<QPDF> blankPages(int count)
{
    auto pdf = std::make_unique<QPDF>();
    pdf->emptyPDF();
    for (int index = 0; index < count; ++index)
        pdf->addPage(pdf->makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] >>")), false);
    return pdf;
}

// Two pages showing "alpha" and "beta", encrypted with AES-256 and printing forbidden.
QByteArray lockedTexts(const char* user, const char* owner, qpdf_r3_print_e print = qpdf_r3p_none)
{
    const QByteArray plain = PdfTestFiles::pagesWithTexts({"alpha", "beta"});
    QPDF pdf;
    pdf.processMemoryFile("plain", plain.constData(), static_cast<size_t>(plain.size()));
    return bytesOf(pdf, [&](QPDFWriter& writer) {
        writer.setR6EncryptionParameters(user, owner, true, true, true, true, true, true, print, true);
    });
}

std::unique_ptr<PdfDocument> openWith(const QByteArray& bytes, const QString& password, bool& refused)
{
    refused = !refused; // open must set it either way
    return PdfDocument::open(bytes, password, &refused);
}

} // namespace

TEST(PdfDocumentSource, UserAndOwnerPasswordsOpenWithTheirPermissions)
{
    const QByteArray locked = lockedTexts("user", "owner");
    bool refused = false;

    std::unique_ptr<PdfDocument> asUser = openWith(locked, QStringLiteral("user"), refused);
    ASSERT_NE(asUser, nullptr);
    EXPECT_FALSE(refused);
    EXPECT_TRUE(asUser->isEncrypted());
    EXPECT_FALSE(asUser->allowsPrinting());
    EXPECT_EQ(asUser->pageCount(), 2);

    std::unique_ptr<PdfDocument> asOwner = openWith(locked, QStringLiteral("owner"), refused);
    ASSERT_NE(asOwner, nullptr);
    EXPECT_FALSE(refused);
    EXPECT_TRUE(asOwner->allowsPrinting());

    for (const QString& wrong : {QStringLiteral("wrong"), QString(), QStringLiteral("User")}) {
        EXPECT_EQ(openWith(locked, wrong, refused), nullptr) << wrong.toStdString();
        EXPECT_TRUE(refused) << wrong.toStdString();
    }
    EXPECT_EQ(PdfDocument::open(locked), nullptr);

    // Printing allowed only at low resolution is printing allowed.
    std::unique_ptr<PdfDocument> lowRes = openWith(lockedTexts("user", "owner", qpdf_r3p_low), "user", refused);
    ASSERT_NE(lowRes, nullptr);
    EXPECT_TRUE(lowRes->allowsPrinting());
}

TEST(PdfDocumentSource, AnEmptyUserPasswordOpensWhateverIsTyped)
{
    const QByteArray locked = lockedTexts("", "owner");
    bool refused = true;
    for (const QString& typed : {QString(), QStringLiteral("anything")}) {
        std::unique_ptr<PdfDocument> document = openWith(locked, typed, refused);
        ASSERT_NE(document, nullptr) << typed.toStdString();
        EXPECT_FALSE(refused);
        EXPECT_TRUE(document->isEncrypted());
        EXPECT_FALSE(document->allowsPrinting());
    }
    std::unique_ptr<PdfDocument> asOwner = openWith(locked, QStringLiteral("owner"), refused);
    ASSERT_NE(asOwner, nullptr);
    EXPECT_TRUE(asOwner->allowsPrinting());
    EXPECT_NE(PdfDocument::open(locked), nullptr);
}

TEST(PdfDocumentSource, PlainDocumentsAndBytesThatAreNoPdf)
{
    bool refused = true;
    std::unique_ptr<PdfDocument> plain = openWith(PdfTestFiles::pagesWithTexts({"alpha"}), QStringLiteral("x"), refused);
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(refused);
    EXPECT_FALSE(plain->isEncrypted());
    EXPECT_TRUE(plain->allowsPrinting());

    QString error;
    EXPECT_EQ(PdfDocument::open(QByteArray("not a pdf at all"), QStringLiteral("x"), &refused, &error), nullptr);
    EXPECT_FALSE(refused);
    EXPECT_FALSE(error.isEmpty());
    // A locked document cut short is unreadable rather than locked.
    const QByteArray locked = lockedTexts("user", "owner");
    EXPECT_EQ(openWith(locked.left(locked.size() / 3), QStringLiteral("user"), refused), nullptr);
    EXPECT_FALSE(refused);
}

TEST(PdfDocumentSource, PasswordsWithAccentsOpenBothKindsOfLock)
{
    const QString typed = QStringLiteral("p\u00e4sswort");
    const QByteArray plain = PdfTestFiles::pagesWithTexts({"alpha"});
    QPDF pdf;
    pdf.processMemoryFile("plain", plain.constData(), static_cast<size_t>(plain.size()));
    // The older lock holds the password in PDFDocEncoding (a-umlaut is 0xE4), the newer in UTF-8.
    const QByteArray olderLock = bytesOf(pdf, [](QPDFWriter& writer) {
        writer.setR4EncryptionParametersInsecure("p\xe4sswort", "owner", true, true, true, true, true, true,
                                                 qpdf_r3p_full, true, true);
    });
    const QByteArray newerLock = bytesOf(pdf, [&typed](QPDFWriter& writer) {
        const std::string utf8 = typed.toStdString();
        writer.setR6EncryptionParameters(utf8.c_str(), "owner", true, true, true, true, true, true, qpdf_r3p_full, true);
    });
    bool refused = true;
    EXPECT_NE(openWith(olderLock, typed, refused), nullptr);
    EXPECT_FALSE(refused);
    EXPECT_NE(openWith(newerLock, typed, refused), nullptr);
    EXPECT_FALSE(refused);
    EXPECT_EQ(openWith(olderLock, QStringLiteral("passwort"), refused), nullptr);
    EXPECT_TRUE(refused);
}

TEST(PdfDocumentSource, LockedDocumentsGiveTheirPagesAndStayLockedWhenWritten)
{
    bool refused = false;
    std::unique_ptr<PdfDocument> locked = openWith(lockedTexts("user", "owner"), QStringLiteral("user"), refused);
    ASSERT_NE(locked, nullptr);

    std::unique_ptr<PdfDocument> merged = PdfDocument::create();
    ASSERT_TRUE(merged->appendPageCopy(*locked, 1));
    locked.reset();
    EXPECT_EQ(PdfReadBack::pageTexts(merged->toBytes()), QStringList({"beta"}));

    std::unique_ptr<PdfDocument> again = openWith(lockedTexts("user", "owner"), QStringLiteral("user"), refused);
    ASSERT_NE(again, nullptr);
    const QByteArray rewritten = again->toBytes();
    EXPECT_EQ(openWith(rewritten, QString(), refused), nullptr);
    EXPECT_TRUE(refused);
    EXPECT_NE(openWith(rewritten, QStringLiteral("user"), refused), nullptr);
}

namespace {

// Three pages; the page tree root gives them /Rotate 90 and a crop box, page 1 turns itself by
// -90 and page 2 has a crop box of its own.
QByteArray turnedThroughTheTree()
{
    std::unique_ptr<QPDF> pdf = blankPages(3);
    QPDFObjectHandle tree = pdf->getRoot().getKey("/Pages");
    tree.replaceKey("/Rotate", QPDFObjectHandle::newInteger(90));
    tree.replaceKey("/CropBox", QPDFObjectHandle::parse("[10 20 500 700]"));
    std::vector<QPDFObjectHandle> pages = pdf->getAllPages();
    pages[1].replaceKey("/Rotate", QPDFObjectHandle::newInteger(-90));
    pages[2].replaceKey("/CropBox", QPDFObjectHandle::parse("[300 400 0 0]"));
    return bytesOf(*pdf);
}

} // namespace

TEST(PdfDocumentSource, RotationsAndCropBoxesComeFromThePageOrItsTree)
{
    std::unique_ptr<PdfDocument> document = PdfDocument::open(turnedThroughTheTree());
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->pageRotation(0), 90);
    EXPECT_EQ(document->pageRotation(1), 270);
    EXPECT_EQ(document->pageRotation(3), 0);
    EXPECT_EQ(document->pageRotation(-1), 0);
    EXPECT_EQ(document->cropBox(0), QRectF(10, 20, 490, 680));
    EXPECT_EQ(document->cropBox(2), QRectF(0, 0, 300, 400)); // corners given the wrong way round
    EXPECT_TRUE(document->cropBox(3).isEmpty());

    std::unique_ptr<PdfDocument> plain = PdfDocument::open(bytesOf(*blankPages(1)));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->cropBox(0), QRectF(0, 0, 612, 792)); // no crop box: the media box
    EXPECT_EQ(plain->pageRotation(0), 0);
}

TEST(PdfDocumentSource, SettingARotationTakesQuarterTurnsOfAnySign)
{
    std::unique_ptr<PdfDocument> document = PdfDocument::open(turnedThroughTheTree());
    ASSERT_NE(document, nullptr);
    EXPECT_TRUE(document->setPageRotation(0, -90));
    EXPECT_EQ(document->pageRotation(0), 270);
    EXPECT_EQ(document->pageRotation(2), 90); // its sibling still inherits
    EXPECT_TRUE(document->setPageRotation(1, 450));
    EXPECT_EQ(document->pageRotation(1), 90);
    EXPECT_TRUE(document->setPageRotation(1, -360));
    EXPECT_EQ(document->pageRotation(1), 0);

    EXPECT_FALSE(document->setPageRotation(0, 45));
    EXPECT_FALSE(document->setPageRotation(0, -100));
    EXPECT_EQ(document->pageRotation(0), 270);
    EXPECT_FALSE(document->setPageRotation(3, 90));
    EXPECT_FALSE(document->setPageRotation(-1, 90));

    // The stored value is what viewers read: 0 to 270.
    std::unique_ptr<PdfDocument> written = PdfDocument::open(document->toBytes());
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(written->pageRotation(0), 270);
    EXPECT_EQ(PdfReadBack::pageSize(document->toBytes(), 0), QSizeF(680, 490));
}

TEST(PdfDocumentSource, CopiedPagesKeepWhatTheyInheritedAndTheRotationSet)
{
    std::unique_ptr<PdfDocument> merged = PdfDocument::create();
    {
        std::unique_ptr<PdfDocument> source = PdfDocument::open(turnedThroughTheTree());
        ASSERT_NE(source, nullptr);
        ASSERT_TRUE(source->setPageRotation(2, 180));
        ASSERT_TRUE(merged->appendPageCopy(*source, 0));
        ASSERT_TRUE(merged->appendPageCopy(*source, 2));
        // Copying does not change what the source's other pages inherit.
        EXPECT_EQ(source->pageRotation(1), 270);
        ASSERT_TRUE(merged->appendPageCopy(*source, 1));
    }
    std::unique_ptr<PdfDocument> written = PdfDocument::open(merged->toBytes());
    ASSERT_NE(written, nullptr);
    for (PdfDocument* document : {merged.get(), written.get()}) {
        EXPECT_EQ(document->pageRotation(0), 90);
        EXPECT_EQ(document->pageRotation(1), 180);
        EXPECT_EQ(document->pageRotation(2), 270);
        EXPECT_EQ(document->cropBox(0), QRectF(10, 20, 490, 680));
        EXPECT_EQ(document->cropBox(1), QRectF(0, 0, 300, 400));
        EXPECT_EQ(document->cropBox(2), QRectF(10, 20, 490, 680));
    }
}

TEST(PdfDocumentSource, PageTreesWhoseParentsLoopAnswerWithoutHanging)
{
    // Page 3's /Parent is page 4 and page 4's is page 3: what they inherit is found nowhere.
    // Page 5 is reached through a node whose /Parent is itself and has a real value on the way.
    const QByteArray looped = TestPdf::build({
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R 4 0 R 6 0 R] /Count 3 >>",
        "<< /Type /Page /Parent 4 0 R >>",
        "<< /Type /Page /Parent 3 0 R /MediaBox [0 0 200 100] >>",
        "<< /Type /Page /Parent 6 0 R >>",
        "<< /Type /Pages /Parent 6 0 R /Kids [5 0 R] /Count 1 /Rotate 180 /MediaBox [0 0 300 300] >>",
    });
    std::unique_ptr<PdfDocument> document = PdfDocument::open(looped);
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->pageCount(), 3);
    EXPECT_EQ(document->pageRotation(0), 0);
    EXPECT_EQ(document->pageRotation(2), 180);
    EXPECT_EQ(document->cropBox(2), QRectF(0, 0, 300, 300));
    std::unique_ptr<PdfDocument> merged = PdfDocument::create();
    for (int index = 0; index < document->pageCount(); ++index)
        merged->appendPageCopy(*document, index);
    EXPECT_FALSE(merged->toBytes().isEmpty());
}

namespace {

// An outline entry made with qpdf: title, and /Dest or /A as written (empty: none).
QPDFObjectHandle outlineEntry(QPDF& pdf, const std::string& title, const std::string& key = {},
                              QPDFObjectHandle value = QPDFObjectHandle::newNull())
{
    QPDFObjectHandle entry = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
    entry.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(title));
    if (!key.empty())
        entry.replaceKey(key, value);
    return entry;
}

// Chains the entries under parent through /First, /Last, /Next and /Prev.
void chain(QPDFObjectHandle parent, const std::vector<QPDFObjectHandle>& entries)
{
    parent.replaceKey("/First", entries.front());
    parent.replaceKey("/Last", entries.back());
    for (size_t index = 0; index < entries.size(); ++index) {
        QPDFObjectHandle entry = entries[index];
        entry.replaceKey("/Parent", parent);
        if (index > 0)
            entry.replaceKey("/Prev", entries[index - 1]);
        if (index + 1 < entries.size())
            entry.replaceKey("/Next", entries[index + 1]);
    }
}

QPDFObjectHandle outlineRoot(QPDF& pdf)
{
    QPDFObjectHandle root = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Outlines >>"));
    pdf.getRoot().replaceKey("/Outlines", root);
    return root;
}

QPDFObjectHandle explicitDestination(QPDFObjectHandle page, const std::string& rest)
{
    QPDFObjectHandle destination = QPDFObjectHandle::parse("[" + rest + "]");
    destination.insertItem(0, page);
    return destination;
}

// "title(page@x,y)[children]" per entry, joined by spaces; "title" alone for a plain label.
QString shape(const PdfOutline& parent)
{
    QStringList entries;
    for (const PdfOutline& child : parent.children()) {
        QString text = child.label();
        if (const std::optional<PdfDestination>& destination = child.destination())
            text += QStringLiteral("(%1@%2,%3)").arg(destination->pageIndex).arg(destination->point.x()).arg(destination->point.y());
        if (!child.children().empty())
            text += QLatin1Char('[') + shape(child) + QLatin1Char(']');
        entries << text;
    }
    return entries.join(QLatin1Char(' '));
}

} // namespace

TEST(PdfDocumentSource, OutlinesComeBackWithTheirPlacesInOrderAndDepth)
{
    std::unique_ptr<QPDF> pdf = blankPages(3);
    std::vector<QPDFObjectHandle> pages = pdf->getAllPages();
    pages[1].replaceKey("/CropBox", QPDFObjectHandle::parse("[10 20 300 400]"));
    QPDFObjectHandle catalog = pdf->getRoot();
    catalog.replaceKey("/Dests", QPDFObjectHandle::newDictionary());
    catalog.getKey("/Dests").replaceKey("/Chapter", explicitDestination(pages[2], "/XYZ 50 600 0"));
    QPDFObjectHandle names = QPDFObjectHandle::parse("<< /Dests << /Names [(intro) << >>] >> >>");
    names.getKey("/Dests").getKey("/Names").getArrayItem(1).replaceKey("/D", explicitDestination(pages[1], "/Fit"));
    catalog.replaceKey("/Names", names);

    QPDF& document = *pdf;
    QPDFObjectHandle one = outlineEntry(document, "One", "/Dest", explicitDestination(pages[0], "/XYZ 72 700 null"));
    chain(one, {
                   outlineEntry(document, "One.A", "/Dest", explicitDestination(pages[1], "/FitH 300")),
                   outlineEntry(document, "One.B", "/A", QPDFObjectHandle::parse("<< /S /GoTo /D (intro) >>")),
               });
    QPDFObjectHandle three = outlineEntry(document, "Gr\u00f6\u00dfe", "/Dest", explicitDestination(pages[2], "/XYZ null 500 null"));
    QPDFObjectHandle nested = outlineEntry(document, "Three.1");
    chain(nested, {outlineEntry(document, "Three.1.a", "/Dest", QPDFObjectHandle::newName("/Chapter"))});
    chain(three, {nested});
    QPDFObjectHandle foreignPage = pdf->makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Page >>"));
    chain(outlineRoot(document), {
                                     one,
                                     outlineEntry(document, "Two", "/Dest", QPDFObjectHandle::newName("/Chapter")),
                                     three,
                                     outlineEntry(document, "Elsewhere", "/Dest", explicitDestination(foreignPage, "/Fit")),
                                     outlineEntry(document, "Web", "/A", QPDFObjectHandle::parse("<< /S /URI /URI (https://example.org) >>")),
                                     outlineEntry(document, "Unknown name", "/Dest", QPDFObjectHandle::newString("missing")),
                                 });

    std::unique_ptr<PdfDocument> opened = PdfDocument::open(bytesOf(*pdf));
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(shape(opened->outline()),
              QStringLiteral("One(0@72,700)[One.A(1@10,400) One.B(1@10,400)] Two(2@50,600) "
                             "Gr\u00f6\u00dfe(2@0,500)[Three.1[Three.1.a(2@50,600)]] Elsewhere Web Unknown name"));

    std::unique_ptr<PdfDocument> withoutOutline = PdfDocument::open(bytesOf(*blankPages(1)));
    ASSERT_NE(withoutOutline, nullptr);
    EXPECT_TRUE(withoutOutline->outline().children().empty());
}

TEST(PdfDocumentSource, OutlineLoopsAndAbsurdDepthEnd)
{
    std::unique_ptr<QPDF> pdf = blankPages(1);
    QPDF& document = *pdf;
    // Siblings whose /Next leads back to the first, and an entry that holds its own parent.
    QPDFObjectHandle first = outlineEntry(document, "A");
    QPDFObjectHandle second = outlineEntry(document, "B");
    chain(outlineRoot(document), {first, second});
    second.replaceKey("/Next", first);
    chain(second, {outlineEntry(document, "B.1")});
    second.getKey("/First").replaceKey("/First", second);

    // A chain of entries each beneath the one before, far deeper than anyone could read.
    QPDFObjectHandle deep = outlineEntry(document, "Deep");
    first.replaceKey("/First", deep);
    for (int level = 0; level < 20000; ++level) {
        QPDFObjectHandle below = outlineEntry(document, "Deeper");
        deep.replaceKey("/First", below);
        deep = below;
    }

    std::unique_ptr<PdfDocument> opened = PdfDocument::open(bytesOf(*pdf));
    ASSERT_NE(opened, nullptr);
    const PdfOutline outline = opened->outline();
    ASSERT_EQ(outline.children().size(), 2u);
    EXPECT_EQ(outline.children()[0].label(), QStringLiteral("A"));
    EXPECT_EQ(shape(outline.children()[1]), QStringLiteral("B.1"));
    const int deepEntries = outline.children()[0].descendantCount();
    EXPECT_GT(deepEntries, 10);
    EXPECT_LT(deepEntries, 1000);
}
