#include "support/PdfReadBack.h"
#include "support/PdfTestFiles.h"
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
