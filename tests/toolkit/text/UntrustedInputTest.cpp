// The readers take files from anywhere: bounds hold, malformed input fails cleanly, and what
// other writers put in their files is read as they mean it.
#include "SampleDocuments.h"

#include "toolkit/text/DOCXReader.h"
#include "toolkit/text/ODTReader.h"
#include "toolkit/text/RTFDFolder.h"
#include "toolkit/text/RTFReader.h"
#include "toolkit/text/TextReadLimits.h"
#include "toolkit/text/ZipPackage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <gtest/gtest.h>

namespace {

const char* const kDocumentStart =
    "<?xml version=\"1.0\"?><w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
    "<w:body>";
const char* const kDocumentEnd = "</w:body></w:document>";

QByteArray DOCXPackage(const QByteArray& documentXML)
{
    ZipPackageWriter package;
    package.add(QStringLiteral("word/document.xml"), documentXML);
    return package.finish();
}

int TableDepth(QTextFrame* frame)
{
    int deepest = 0;
    for (QTextFrame* child : frame->childFrames())
        deepest = std::max(deepest, TableDepth(child) + (qobject_cast<QTextTable*>(child) ? 1 : 0));
    return deepest;
}

QByteArray PNG(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

TEST(RTFBounds, DeepNestingAndTooManyGroupsFailCleanly)
{
    QTextDocument document;
    QString error;
    const QByteArray deep = "{\\rtf1 " + QByteArray(100'000, '{') + "x" + QByteArray(100'000, '}') + "}";
    EXPECT_FALSE(RTFReader::Read(deep, document, &error));
    EXPECT_TRUE(document.isEmpty());
    EXPECT_FALSE(error.isEmpty());

    const QByteArray nested = "{\\rtf1 " + QByteArray(TextReadLimits::kMaxGroupDepth - 2, '{') + "deep"
                              + QByteArray(TextReadLimits::kMaxGroupDepth - 2, '}') + "}";
    ASSERT_TRUE(RTFReader::Read(nested, document));
    EXPECT_EQ(document.toPlainText(), QStringLiteral("deep"));

    QByteArray many = "{\\rtf1 ";
    for (int64_t i = 0; i <= TextReadLimits::kMaxGroupCount; ++i)
        many += "{}";
    EXPECT_FALSE(RTFReader::Read(many + "}", document));
}

TEST(RTFBounds, AFailureInsideATableLeavesAnEmptyDocument)
{
    QTextDocument document;
    const QByteArray rtf = "{\\rtf1 \\trowd\\cellx100\\pard\\intbl a\\cell\\row\\intbl b"
                           + QByteArray(TextReadLimits::kMaxGroupDepth + 5, '{') + "}";
    EXPECT_FALSE(RTFReader::Read(rtf, document));
    EXPECT_TRUE(document.isEmpty());
    QByteArray docx = QByteArray(kDocumentStart) + "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>cell";
    EXPECT_FALSE(DOCXReader::ReadDocumentXML(docx, document));
    EXPECT_TRUE(document.isEmpty());
}

TEST(RTFBounds, OversizedPicturesAndMalformedInput)
{
    QTextDocument document;
    EXPECT_FALSE(RTFReader::Read("{\\rtf1 {\\pict\\pngblip\\bin999999999 xx}}", document));
    EXPECT_FALSE(RTFReader::Read("plain words", document));
    EXPECT_FALSE(RTFReader::Read("", document));
    EXPECT_FALSE(RTFReader::Read("{\\rtfx}", document));
    // a file cut short keeps what it holds
    ASSERT_TRUE(RTFReader::Read("{\\rtf1 {\\b bold", document));
    EXPECT_EQ(SampleDocuments::Describe(document), QStringList{QStringLiteral("P [bold|b]")});
    // a picture that is no picture is left out, the text stays
    ASSERT_TRUE(RTFReader::Read("{\\rtf1 a{\\pict\\pngblip 0102030405}b}", document));
    EXPECT_EQ(document.toPlainText(), QStringLiteral("ab"));
}

TEST(RTFReading, WhatOtherWritersPutInTheirFilesIsRead)
{
    const QByteArray png = PNG(3, 2).toHex();
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}{\\f1\\fswiss Arial;}}"
        "{\\colortbl;\\red0\\green0\\blue255;}"
        "{\\stylesheet{\\s0 Normal;}{\\s1\\b\\fs32 heading 1;}}"
        "{\\*\\listtable{\\list\\listtemplateid7{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}"
        "\\listid7}}{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls3}}"
        "{\\*\\generator Some Writer;}{\\info{\\title Hidden title}}"
        "\\pard\\s1\\b\\fs32 Head\\par"
        "\\pard\\plain \\f1\\cf1 blue \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\u1055?\\uc0\\u1088 x\\par"
        "{\\listtext 1.\\tab}\\pard\\plain\\ls3\\ilvl0 item\\par"
        "\\pard\\plain{\\field{\\*\\fldinst{HYPERLINK \"https://example.org/\"}}{\\fldrslt link}}\\par"
        "\\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell B\\cell\\row"
        "\\pard{\\*\\shppict{\\pict\\pngblip\\picw3\\pich2\\picwgoal600\\pichgoal400 "
        + png + "}}{\\nonshppict{\\pict\\wmetafile8 0102}}\\par"
                "\\pard text{\\footnote a note}\\page after}";
    QTextDocument document;
    ASSERT_TRUE(RTFReader::Read(rtf, document));
    const QStringList lines = SampleDocuments::Describe(document);
    const QStringList expected = {
        QStringLiteral("P h1 [Head|b,Times New Roman,16pt]"),
        QStringLiteral("P [blue Привет Прx|#0000ff,Arial]"),
        QStringLiteral("P list=numbered/1 [item|Times New Roman]"),
        QStringLiteral("P [link|Times New Roman]"),
        QStringLiteral("table 1x2"),
        QStringLiteral(" cell 0,0"),
        QStringLiteral("  P [A|Times New Roman]"),
        QStringLiteral(" cell 0,1"),
        QStringLiteral("  P [B|Times New Roman]"),
        QStringLiteral("P <image 3x2px 30x20pt>"),
        QStringLiteral("P [text|Times New Roman]"),
        QStringLiteral("P pagebreak [after|Times New Roman]"),
    };
    EXPECT_EQ(lines.join(u'\n').toStdString(), expected.join(u'\n').toStdString());
}

TEST(RTFDBounds, AttachmentsOutsideTheFolderAreNotRead)
{
    QTemporaryDir root;
    const QDir base(root.path());
    base.mkpath(QStringLiteral("doc.rtfd"));
    QFile secret(base.filePath(QStringLiteral("secret.png")));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write(PNG(2, 2));
    secret.close();
    QFile text(base.filePath(QStringLiteral("doc.rtfd/TXT.rtf")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("{\\rtf1 a{{\\NeXTGraphic ../secret.png \\width40 \\height40}\\'ac}b}");
    text.close();
    QTextDocument document;
    ASSERT_TRUE(RTFDFolder::Read(base.filePath(QStringLiteral("doc.rtfd")), document));
    EXPECT_EQ(document.toPlainText(), QStringLiteral("ab"));
}

TEST(ZipBounds, BombsAndDamagedPackagesAreRefused)
{
    QTextDocument document;
    QString error;
    // a real document may repeat itself: two megabytes of one letter inflate from a few kilobytes
    const QByteArray repetitive = kDocumentStart + QByteArray("<w:p><w:r><w:t>") + QByteArray(2 << 20, 'a')
                                  + "</w:t></w:r></w:p>" + kDocumentEnd;
    EXPECT_TRUE(DOCXReader::ReadDOCX(DOCXPackage(repetitive), document, &error)) << error.toStdString();
    EXPECT_EQ(document.characterCount(), (2 << 20) + 1);
    // what a part expands to is bounded: more elements than any document's paragraphs make
    const QByteArray bomb = kDocumentStart + QByteArray("<w:p/>").repeated(TextReadLimits::kMaxXmlElements) + kDocumentEnd;
    EXPECT_FALSE(DOCXReader::ReadDOCX(DOCXPackage(bomb), document, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("elements"))) << error.toStdString();

    ZipPackageWriter crowded;
    for (int i = 0; i <= TextReadLimits::kMaxZipEntries; ++i)
        crowded.add(QStringLiteral("e%1").arg(i), "x", true);
    EXPECT_FALSE(DOCXReader::ReadDOCX(crowded.finish(), document, &error));

    QByteArray damaged = DOCXPackage(kDocumentStart + QByteArray("<w:p><w:r><w:t>words words words</w:t></w:r></w:p>")
                                     + kDocumentEnd);
    damaged[damaged.indexOf("PK\x01\x02") - 20] ^= 0x55; // inside the entry's data
    EXPECT_FALSE(DOCXReader::ReadDOCX(damaged, document));
    EXPECT_FALSE(ODTReader::Read(QByteArray("PK\x05\x06") + QByteArray(18, '\0'), document));
}

TEST(XMLBounds, MalformedPartsEntitiesAndDeepTables)
{
    QTextDocument document;
    QString error;
    EXPECT_FALSE(DOCXReader::ReadDOCX(DOCXPackage(QByteArray(kDocumentStart) + "<w:p>"), document, &error));
    EXPECT_TRUE(document.isEmpty());
    EXPECT_FALSE(ODTReader::ReadContentXML("<office:document-content", document));

    // entities are not expanded: a billion laughs stays small
    QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE w:document [<!ENTITY a \"aaaaaaaaaa\">";
    for (int i = 1; i < 10; ++i)
        laughs += "<!ENTITY " + QByteArray(1, char('a' + i)) + " \"" + QByteArray(10, '&').replace("&", "&" + QByteArray(1, char('a' + i - 1)) + ";") + "\">";
    laughs += "]><w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
              "<w:p><w:r><w:t>&j;</w:t></w:r></w:p></w:body></w:document>";
    DOCXReader::ReadDocumentXML(laughs, document);
    EXPECT_LT(document.characterCount(), 1000);

    // tables nested deeper than the bound keep their text as paragraphs
    QByteArray nested = kDocumentStart;
    for (int i = 0; i < 40; ++i)
        nested += "<w:tbl><w:tr><w:tc>";
    nested += "<w:p><w:r><w:t>core</w:t></w:r></w:p>";
    for (int i = 0; i < 40; ++i)
        nested += "<w:p/></w:tc></w:tr></w:tbl>";
    nested += kDocumentEnd;
    ASSERT_TRUE(DOCXReader::ReadDocumentXML(nested, document, &error)) << error.toStdString();
    EXPECT_EQ(TableDepth(document.rootFrame()), TextReadLimits::kMaxTableNesting);
    EXPECT_TRUE(document.toPlainText().contains(QStringLiteral("core")));
}

TEST(XMLBounds, TablesBeyondTheBoundsAreRefused)
{
    const QByteArray content =
        "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:text>"
        "<table:table><table:table-row table:number-rows-repeated=\"1048576\">"
        "<table:table-cell table:number-columns-repeated=\"16384\"><text:p>x</text:p></table:table-cell>"
        "</table:table-row></table:table></office:text></office:body></office:document-content>";
    QTextDocument document;
    QString error;
    EXPECT_FALSE(ODTReader::ReadContentXML(content, document, &error));
    EXPECT_TRUE(document.isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("bounds")));
    // a wide table within the bounds is read
    QByteArray wide = content;
    wide.replace("1048576", "300").replace("16384", "100");
    ASSERT_TRUE(ODTReader::ReadContentXML(wide, document, &error)) << error.toStdString();
    const auto* table = qobject_cast<QTextTable*>(document.rootFrame()->childFrames().value(0));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 300);
    EXPECT_EQ(table->columns(), 100);
}
