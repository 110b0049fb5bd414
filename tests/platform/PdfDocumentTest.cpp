#include "support/PdfReadBack.h"
#include "support/PdfTestFiles.h"
#include "platform/PdfDocument.h"
#include "platform/PdfDocumentInformation.h"
#include "platform/PdfSpilledStreams.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QXmlStreamReader>

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/Pl_Buffer.hh>
#include <qpdf/Pl_Flate.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(PdfDocument, RefusesBytesThatAreNotAPdf)
{
    QString error;
    EXPECT_EQ(PdfDocument::open(QByteArray("<html>not a pdf</html>"), &error), nullptr);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(PdfDocument::open(QByteArray()), nullptr);
}

TEST(PdfDocument, CopiedPagesOutliveTheirSourceAndKeepTheirOrder)
{
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    ASSERT_EQ(output->pageCount(), 0);
    {
        // The source bytes and document go away before the output is written.
        std::unique_ptr<PdfDocument> first = PdfDocument::open(PdfTestFiles::pagesWithTexts({"alpha", "beta"}));
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->pageCount(), 2);
        EXPECT_TRUE(output->appendPageCopy(*first, 1));
        EXPECT_TRUE(output->appendPageCopy(*first, 0));
        EXPECT_FALSE(output->appendPageCopy(*first, 2));
        EXPECT_FALSE(output->appendPageCopy(*first, -1));
    }
    {
        std::unique_ptr<PdfDocument> second = PdfDocument::open(PdfTestFiles::pagesWithTexts({"gamma"}));
        ASSERT_NE(second, nullptr);
        EXPECT_TRUE(output->appendPageCopy(*second, 0));
    }
    EXPECT_EQ(output->pageCount(), 3);
    EXPECT_EQ(PdfReadBack::pageTexts(output->toBytes()), QStringList({"beta", "alpha", "gamma"}));
}

namespace {

QByteArray bytesOf(const Buffer& buffer)
{
    return QByteArray(reinterpret_cast<const char*>(buffer.getBuffer()), static_cast<qsizetype>(buffer.getSize()));
}

// "alpha" on a page with compressed content, "beta" on one whose content is an array of two
// compressed streams.
QByteArray compressedPagesAlphaBeta()
{
    QPDF source;
    const QByteArray texts = PdfTestFiles::pagesWithTexts({"alpha", "beta"});
    source.processMemoryFile("texts", texts.constData(), static_cast<size_t>(texts.size()));
    QPDFPageObjectHelper(source.getAllPages().at(1)).addPageContents(source.newStream("0 g"), true);
    QPDFWriter compress(source);
    compress.setOutputMemory();
    compress.setCompressStreams(true);
    compress.write();
    return bytesOf(*compress.getBufferSharedPointer());
}

// "alpha" on a page whose content is compressed after a PNG predictor ("up", eight columns), as
// its /DecodeParms says: the bytes mean nothing without them.
QByteArray predictedPageAlpha()
{
    QPDF source;
    const QByteArray texts = PdfTestFiles::pagesWithTexts({"alpha"});
    source.processMemoryFile("texts", texts.constData(), static_cast<size_t>(texts.size()));
    QPDFObjectHandle page = source.getAllPages().at(0);
    Pl_Buffer plain("plain");
    QPDFPageObjectHelper(page).pipeContents(&plain);
    QByteArray content = bytesOf(*plain.getBufferSharedPointer());
    constexpr int kColumns = 8;
    content.append(QByteArray((kColumns - content.size() % kColumns) % kColumns, ' '));
    Pl_Buffer encoded("encoded");
    Pl_Flate deflate("deflate", &encoded, Pl_Flate::a_deflate);
    for (qsizetype row = 0; row < content.size(); row += kColumns) {
        unsigned char filtered[kColumns + 1] = {2};
        for (int column = 0; column < kColumns; ++column) {
            const int above = row > 0 ? static_cast<unsigned char>(content[row - kColumns + column]) : 0;
            filtered[column + 1] = static_cast<unsigned char>(static_cast<unsigned char>(content[row + column]) - above);
        }
        deflate.write(filtered, sizeof filtered);
    }
    deflate.finish();
    QPDFObjectHandle stream = source.newStream();
    stream.replaceStreamData(bytesOf(*encoded.getBufferSharedPointer()).toStdString(),
                             QPDFObjectHandle::newName("/FlateDecode"),
                             QPDFObjectHandle::parse("<< /Predictor 12 /Columns 8 >>"));
    page.replaceKey("/Contents", stream);
    QPDFWriter writer(source);
    writer.setOutputMemory();
    writer.setStreamDataMode(qpdf_s_preserve);
    writer.write();
    return bytesOf(*writer.getBufferSharedPointer());
}

} // namespace

TEST(PdfDocument, SpilledContentStreamsReadBackByteForByteFromTheirFile)
{
    const QByteArray bytes = compressedPagesAlphaBeta();
    QPDF pdf;
    pdf.processMemoryFile("pages", bytes.constData(), static_cast<size_t>(bytes.size()));
    QPDFObjectHandle page = pdf.getAllPages().at(1);
    const std::vector<QPDFObjectHandle> streams = page.getKey("/Contents").getArrayAsVector();
    ASSERT_EQ(streams.size(), 2u);
    std::vector<QByteArray> before;
    qint64 total = 0;
    for (QPDFObjectHandle stream : streams) {
        before.push_back(bytesOf(*stream.getRawStreamData()));
        total += before.back().size();
    }
    PdfSpilledStreams spilled;
    spilled.spillContents(page);
    EXPECT_EQ(spilled.spilledBytes(), total);
    for (std::size_t i = 0; i < streams.size(); ++i) {
        QPDFObjectHandle stream = streams[i];
        EXPECT_EQ(bytesOf(*stream.getRawStreamData()), before[i]) << i;
        EXPECT_TRUE(stream.getDict().getKey("/Filter").isNameAndEquals("/FlateDecode")) << i;
    }
}

TEST(PdfDocument, PagesWhoseContentWaitsOnDiskWriteTheSameAsThoseKeptInMemory)
{
    // Both pages are written back under their own filters, whatever the order of the copies.
    const QByteArray sourceBytes = compressedPagesAlphaBeta();
    ASSERT_TRUE(sourceBytes.contains("/FlateDecode"));

    std::unique_ptr<PdfDocument> kept = PdfDocument::create();
    std::unique_ptr<PdfDocument> spilled = PdfDocument::create();
    spilled->spillCopiedContents();
    {
        const std::unique_ptr<PdfDocument> printed = PdfDocument::open(sourceBytes);
        ASSERT_NE(printed, nullptr);
        for (int page : {1, 0, 1}) {
            ASSERT_TRUE(kept->appendPageCopy(*printed, page));
            ASSERT_TRUE(spilled->appendPageCopy(*printed, page));
        }
    }
    const QByteArray expected = kept->toBytes();
    EXPECT_EQ(PdfReadBack::pageTexts(expected), QStringList({"beta", "alpha", "beta"}));
    // Content whose filter takes parameters keeps them.
    const QByteArray predicted = predictedPageAlpha();
    ASSERT_TRUE(predicted.contains("/Predictor"));
    std::unique_ptr<PdfDocument> spilledPredicted = PdfDocument::create();
    spilledPredicted->spillCopiedContents();
    {
        const std::unique_ptr<PdfDocument> source = PdfDocument::open(predicted);
        ASSERT_NE(source, nullptr);
        ASSERT_TRUE(spilledPredicted->appendPageCopy(*source, 0));
    }
    EXPECT_EQ(PdfReadBack::pageTexts(spilledPredicted->toBytes()), QStringList({"alpha"}));
    // Written twice: the spilled content is read again for every write.
    for (int write = 0; write < 2; ++write) {
        const QByteArray bytes = spilled->toBytes();
        EXPECT_EQ(PdfReadBack::pageTexts(bytes), PdfReadBack::pageTexts(expected));
        EXPECT_EQ(bytes.size(), expected.size());
    }
}

TEST(PdfDocument, WritesThroughATemporaryFileIntoPlace)
{
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("out.pdf"));
    {
        QFile earlier(target);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier file");
    }
    std::unique_ptr<PdfDocument> source = PdfDocument::open(PdfTestFiles::pagesWithTexts({"one", "two"}));
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    ASSERT_TRUE(output->appendPageCopy(*source, 0));
    ASSERT_TRUE(output->appendPageCopy(*source, 1));
    QString error;
    ASSERT_TRUE(output->write(target, &error)) << error.toStdString();
    EXPECT_EQ(PdfReadBack::pageTexts(readFile(target)), QStringList({"one", "two"}));
    // Nothing but the written file is left in the folder.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"out.pdf"}));
}

TEST(PdfDocument, AFailedWriteReportsAnErrorAndLeavesNothing)
{
    QTemporaryDir folder;
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    QString error;
    EXPECT_FALSE(output->write(folder.filePath(QStringLiteral("missing/out.pdf")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

namespace {

// The text of the first element of each name in an XMP packet, by its qualified name.
QMap<QString, QString> XMPTexts(const QByteArray& packet)
{
    QMap<QString, QString> texts;
    QXmlStreamReader reader(packet);
    QStringList open;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            open << reader.qualifiedName().toString();
        } else if (reader.isEndElement()) {
            open.removeLast();
        } else if (reader.isCharacters() && !reader.isWhitespace()) {
            // The property holding an rdf:Alt, rdf:Seq or rdf:li chain is named above it.
            for (qsizetype i = open.size() - 1; i >= 0; --i) {
                if (!open.at(i).startsWith(QStringLiteral("rdf:"))) {
                    texts.insert(open.at(i), texts.value(open.at(i)) + reader.text().toString());
                    break;
                }
            }
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return texts;
}

} // namespace

TEST(PdfDocument, TheFourFieldsAndTheProducerAreReadBackFromInformationAndXMP)
{
    std::unique_ptr<PdfDocument> document = PdfDocument::open(PdfTestFiles::pagesWithTexts({"page"}));
    ASSERT_NE(document, nullptr);
    PdfDocumentInformation information;
    information.title = QStringLiteral("Руководство <Guide> & Notes");
    information.author = QStringLiteral("Zoë \"Q\" Writer");
    information.subject = QStringLiteral("CHM\x01 to PDF");
    information.keywords = QStringLiteral("chm, pdf, 変換");
    ASSERT_TRUE(document->setDocumentInformation(information));
    const QByteArray pdf = document->toBytes();

    EXPECT_EQ(PdfReadBack::infoEntry(pdf, "Title"), information.title);
    EXPECT_EQ(PdfReadBack::infoEntry(pdf, "Author"), information.author);
    EXPECT_EQ(PdfReadBack::infoEntry(pdf, "Subject"), information.subject);
    EXPECT_EQ(PdfReadBack::infoEntry(pdf, "Keywords"), information.keywords);
    EXPECT_EQ(PdfReadBack::infoEntry(pdf, "Producer"), QStringLiteral("Tomefold"));

    const QMap<QString, QString> xmp = XMPTexts(PdfReadBack::xmpMetadata(pdf));
    EXPECT_EQ(xmp.value(QStringLiteral("dc:title")), information.title);
    EXPECT_EQ(xmp.value(QStringLiteral("dc:creator")), information.author);
    // XML cannot carry the control character: it is left out of the packet only.
    EXPECT_EQ(xmp.value(QStringLiteral("dc:description")), QStringLiteral("CHM to PDF"));
    EXPECT_EQ(xmp.value(QStringLiteral("pdf:Keywords")), information.keywords);
    EXPECT_EQ(xmp.value(QStringLiteral("pdf:Producer")), QStringLiteral("Tomefold"));
}

TEST(PdfDocument, EmptyFieldsAreLeftOutAndTheProducerStays)
{
    std::unique_ptr<PdfDocument> document = PdfDocument::open(PdfTestFiles::pagesWithTexts({"page"}));
    ASSERT_NE(document, nullptr);
    PdfDocumentInformation information;
    information.title = QStringLiteral("Only a title");
    ASSERT_TRUE(document->setDocumentInformation(information));
    const QByteArray pdf = document->toBytes();
    EXPECT_TRUE(PdfReadBack::infoEntry(pdf, "Author").isNull());
    EXPECT_TRUE(PdfReadBack::infoEntry(pdf, "Keywords").isNull());
    EXPECT_EQ(PdfReadBack::infoEntry(pdf, "Producer"), QStringLiteral("Tomefold"));
    const QMap<QString, QString> xmp = XMPTexts(PdfReadBack::xmpMetadata(pdf));
    EXPECT_EQ(xmp.value(QStringLiteral("dc:title")), QStringLiteral("Only a title"));
    EXPECT_FALSE(xmp.contains(QStringLiteral("dc:creator")));
}
