#include "SampleDocuments.h"
#include "support/FixtureFiles.h"

#include "platform/TextEncoding.h"
#include "toolkit/text/PlainTextFormat.h"
#include "toolkit/text/TextDocumentIO.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/text/TextDocumentFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextDocument>

#include <gtest/gtest.h>

using TextDocumentIO::OutputFormat;

namespace {

std::string Lines(const QStringList& lines)
{
    return lines.join(u'\n').toStdString();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(TextDocumentIO, RichFormatsRoundTripThroughFiles)
{
    QTemporaryDir folder;
    QTextDocument original;
    SampleDocuments::BuildRich(original);
    const std::pair<OutputFormat, const char*> formats[] = {
        {OutputFormat::RTF, "sample.rtf"}, {OutputFormat::RTFD, "sample.rtfd"}, {OutputFormat::DOCX, "sample.docx"}, {OutputFormat::ODT, "sample.odt"}};
    for (const auto& [format, name] : formats) {
        SCOPED_TRACE(name);
        const QString path = QDir(folder.path()).filePath(QString::fromLatin1(name));
        QString error;
        ASSERT_TRUE(TextDocumentIO::Write(original, path, format, &error)) << error.toStdString();
        QTextDocument back;
        ASSERT_TRUE(TextDocumentIO::Read(path, back, &error)) << error.toStdString();
        EXPECT_EQ(Lines(SampleDocuments::Describe(original)), Lines(SampleDocuments::Describe(back)));
    }
    // the RTFD folder keeps its picture as an attachment beside TXT.rtf
    EXPECT_TRUE(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("sample.rtfd/image1.png"))));
    EXPECT_FALSE(FixtureFiles::readAll(QDir(folder.path()).filePath(QStringLiteral("sample.rtfd/TXT.rtf"))).contains("\\pict"));
}

TEST(TextDocumentIO, NestedListsRowSpansAndTablesInCellsRoundTrip)
{
    QTemporaryDir folder;
    const std::tuple<OutputFormat, const char*, bool> formats[] = {
        {OutputFormat::RTF, "nested.rtf", false}, {OutputFormat::DOCX, "nested.docx", true}, {OutputFormat::ODT, "nested.odt", true}};
    for (const auto& [format, name, tableInCell] : formats) {
        SCOPED_TRACE(name);
        QTextDocument original;
        SampleDocuments::BuildNested(original, tableInCell);
        const QString path = QDir(folder.path()).filePath(QString::fromLatin1(name));
        QString error;
        ASSERT_TRUE(TextDocumentIO::Write(original, path, format, &error)) << error.toStdString();
        QTextDocument back;
        ASSERT_TRUE(TextDocumentIO::Read(path, back, &error)) << error.toStdString();
        EXPECT_EQ(Lines(SampleDocuments::Describe(original)), Lines(SampleDocuments::Describe(back)));
    }
}

TEST(TextDocumentIO, PlainTextIsWrittenInUTF8AndUTF16AndReadBack)
{
    QTemporaryDir folder;
    QTextDocument original;
    SampleDocuments::BuildRich(original);
    const QString utf8 = QDir(folder.path()).filePath(QStringLiteral("a.txt"));
    const QString utf16 = QDir(folder.path()).filePath(QStringLiteral("b.txt"));
    ASSERT_TRUE(TextDocumentIO::Write(original, utf8, OutputFormat::PlainTextUTF8));
    ASSERT_TRUE(TextDocumentIO::Write(original, utf16, OutputFormat::PlainTextUTF16));
    QString expected = original.toPlainText();
    expected.remove(QChar::ObjectReplacementCharacter);
    EXPECT_EQ(FixtureFiles::readAll(utf8), expected.toUtf8());
    const QByteArray wide = FixtureFiles::readAll(utf16);
    ASSERT_GE(wide.size(), 2);
    EXPECT_EQ(static_cast<unsigned char>(wide[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(wide[1]), 0xFE);
    for (const QString& path : {utf8, utf16}) {
        QTextDocument back;
        ASSERT_TRUE(TextDocumentIO::Read(path, back));
        EXPECT_EQ(back.toPlainText(), expected);
    }
}

TEST(TextDocumentIO, PlainTextEncodingIsDetected)
{
    const QString text = QStringLiteral("Grüße, Привет");
    EXPECT_EQ(PlainTextFormat::Decode(text.toUtf8()), text);
    EXPECT_EQ(PlainTextFormat::Decode(QByteArray("\xEF\xBB\xBF") + text.toUtf8()), text);
    EXPECT_EQ(PlainTextFormat::Decode(PlainTextFormat::EncodeUTF16(text)), text);
    QByteArray bigEndian("\xFE\xFF");
    for (const QChar c : text)
        bigEndian.append(static_cast<char>(c.unicode() >> 8)).append(static_cast<char>(c.unicode() & 0xFF));
    EXPECT_EQ(PlainTextFormat::Decode(bigEndian), text);
    EXPECT_EQ(PlainTextFormat::Decode(QByteArray("Gr\xFC\xDF"
                                                 "e")),
              QStringLiteral("Grüße"));
}

// Text that is not UTF-8 is read in the character set it was written in, every character kept.
TEST(TextDocumentIO, LegacyEncodingsAreRecognised)
{
    const std::vector<std::pair<const char*, QString>> texts{
        {"CP1252", QStringLiteral("Price 5 € and “quotes” — dash, it’s fine.")},
        {"GB18030", QStringLiteral("这是一个简单的测试文件，我们用它来检查编码的识别是否正确。")},
        {"Shift_JIS", QStringLiteral("これは簡単なテストです。文字コードの判定が正しいかどうかを確かめます。")},
        {"EUC-KR", QStringLiteral("이것은 간단한 시험입니다. 문자 인코딩 감지가 올바른지 확인합니다.")},
        {"KOI8-R", QStringLiteral("Это простой тест. Мы проверяем, правильно ли определяется кодировка.")},
    };
    for (const auto& [charset, text] : texts) {
        const auto bytes = TextEncoding::encodeStrict(text, QString::fromLatin1(charset));
        ASSERT_TRUE(bytes) << charset;
        EXPECT_EQ(PlainTextFormat::Decode(*bytes), text) << charset;
    }
    // a byte that no reading makes a character still shows where it was
    EXPECT_TRUE(PlainTextFormat::Decode(QByteArray("one \x81 two")).contains(QChar::ReplacementCharacter));
}

TEST(TextDocumentIO, HTMLAndItsPicturesAreRead)
{
    QTemporaryDir folder;
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(QDir(folder.path()).filePath(QStringLiteral("dot.png"))));
    const QString page = QDir(folder.path()).filePath(QStringLiteral("page.html"));
    WriteBytes(page, QByteArray("<html><head><meta charset=\"windows-1251\"></head><body><h1>Title</h1>"
                                "<p>\xCF\xF0\xE8\xE2\xE5\xF2 <b>bold</b> <img src=\"dot.png\" width=8 height=8></p>"
                                "<ul><li>one</li><li>two</li></ul></body></html>"));
    QTextDocument document;
    ASSERT_TRUE(TextDocumentIO::Read(page, document));
    const QStringList lines = SampleDocuments::Describe(document, {.fonts = false});
    ASSERT_GE(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("P h1 [Title|b"))) << lines[0].toStdString();
    EXPECT_EQ(lines[1], QStringLiteral("P [Привет |] [bold|b] [ |] <image 4x4px 8x8pt>"));
    EXPECT_EQ(lines[2], QStringLiteral("P list=bullet/1 [one|]"));
}

TEST(TextDocumentIO, ReadFailuresAreCleanAndFormatsOutsideTheRangeAreRefused)
{
    QTemporaryDir folder;
    const QString broken = QDir(folder.path()).filePath(QStringLiteral("broken.docx"));
    WriteBytes(broken, QByteArray("PK\x03\x04 this is no zip"));
    QTextDocument document;
    QString error;
    EXPECT_FALSE(TextDocumentIO::Read(broken, document, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(document.isEmpty());
    EXPECT_FALSE(TextDocumentIO::Read(QDir(folder.path()).filePath(QStringLiteral("missing.rtf")), document));
    const QString notRTF = QDir(folder.path()).filePath(QStringLiteral("fake.rtf"));
    WriteBytes(notRTF, "plain words");
    EXPECT_FALSE(TextDocumentIO::Read(notRTF, document));

    OutputFormat format;
    EXPECT_FALSE(TextDocumentIO::OutputFormatFromNumber(0, &format));
    EXPECT_FALSE(TextDocumentIO::OutputFormatFromNumber(8, &format));
    ASSERT_TRUE(TextDocumentIO::OutputFormatFromNumber(6, &format));
    EXPECT_EQ(format, OutputFormat::DOCX);
}

TEST(TextDocumentIO, FailedWritesReportFailureAndKeepWhatWasThere)
{
    QTemporaryDir folder;
    QTextDocument document;
    document.setPlainText(QStringLiteral("words"));
    EXPECT_FALSE(TextDocumentIO::Write(document, QDir(folder.path()).filePath(QStringLiteral("no/such/dir/a.rtf")),
                                       OutputFormat::RTF));
    const QString rtfd = QDir(folder.path()).filePath(QStringLiteral("taken.rtfd"));
    ASSERT_TRUE(QDir().mkpath(rtfd));
    WriteBytes(rtfd + QStringLiteral("/TXT.rtf"), "{\\rtf1 old}");
    EXPECT_FALSE(TextDocumentIO::Write(document, rtfd, OutputFormat::RTFD));
    EXPECT_EQ(FixtureFiles::readAll(rtfd + QStringLiteral("/TXT.rtf")), QByteArray("{\\rtf1 old}"));
}

TEST(TextDocumentFiles, IdentifiersAndFilesMapToCodes)
{
    using namespace DocumentTypeCode;
    using TextDocumentFiles::DocumentTypeOfPath;
    EXPECT_EQ(DocumentTypeFromUTI(QStringLiteral("public.rtf")), RTF);
    EXPECT_EQ(DocumentTypeFromUTI(QStringLiteral("com.apple.log")), PlainText);
    EXPECT_EQ(DocumentTypeFromUTI(QStringLiteral("org.oasis.opendocument.text")), ODT);
    EXPECT_EQ(DocumentTypeFromUTI(QStringLiteral("org.openxmlformats.wordprocessingml.document.macroenabled")), DOCX);
    EXPECT_EQ(DocumentTypeFromUTI(QStringLiteral("public.RTF")), Unknown);
    QTemporaryDir folder;
    const QString wordML = QDir(folder.path()).filePath(QStringLiteral("w.xml"));
    WriteBytes(wordML, "<?xml version=\"1.0\"?><w:wordDocument "
                       "xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\"/>");
    EXPECT_EQ(DocumentTypeOfPath(wordML), WordML);
    const QString folderDocument = QDir(folder.path()).filePath(QStringLiteral("x.rtfd"));
    QDir().mkpath(folderDocument);
    EXPECT_EQ(DocumentTypeOfPath(folderDocument), RTFD);
}

TEST(TextDocumentIO, WebArchivesAndWordMLAreRead)
{
    QTemporaryDir folder;
    QImage picture(3, 3, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
    }
    const QByteArray html = "<html><body><p>Archived <i>page</i> <img src=\"pic.png\"></p></body></html>";
    const QByteArray archive =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
        "<key>WebMainResource</key><dict><key>WebResourceData</key><data>"
        + html.toBase64() + "</data>"
                            "<key>WebResourceMIMEType</key><string>text/html</string>"
                            "<key>WebResourceTextEncodingName</key><string>UTF-8</string>"
                            "<key>WebResourceURL</key><string>https://example.org/dir/index.html</string></dict>"
                            "<key>WebSubresources</key><array><dict><key>WebResourceData</key><data>"
        + png.toBase64() + "</data>"
                           "<key>WebResourceMIMEType</key><string>image/png</string>"
                           "<key>WebResourceURL</key><string>https://example.org/dir/pic.png</string></dict></array>"
                           "</dict></plist>";
    const QString archivePath = QDir(folder.path()).filePath(QStringLiteral("page.webarchive"));
    WriteBytes(archivePath, archive);
    QTextDocument document;
    ASSERT_TRUE(TextDocumentIO::Read(archivePath, document));
    EXPECT_EQ(Lines(SampleDocuments::Describe(document, {.fonts = false})),
              "P [Archived |] [page|i] [ |] <image 3x3px 0x0pt>"); // the picture keeps its own size

    const QByteArray wordML =
        "<?xml version=\"1.0\"?><w:wordDocument xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\" "
        "xmlns:v=\"urn:schemas-microsoft-com:vml\">"
        "<w:styles><w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:name w:val=\"heading 1\"/>"
        "<w:rPr><w:b/><w:sz w:val=\"32\"/></w:rPr></w:style></w:styles>"
        "<w:lists><w:listDef w:listDefId=\"4\"><w:lvl w:ilvl=\"0\"><w:nfc w:val=\"0\"/></w:lvl></w:listDef>"
        "<w:list w:ilfo=\"2\"><w:ilst w:val=\"4\"/></w:list></w:lists><w:body><wx:sect "
        "xmlns:wx=\"http://schemas.microsoft.com/office/word/2003/auxHint\">"
        "<w:p><w:pPr><w:pStyle w:val=\"Heading1\"/></w:pPr><w:r><w:t>Old Word</w:t></w:r></w:p>"
        "<w:p><w:pPr><w:listPr><w:ilvl w:val=\"0\"/><w:ilfo w:val=\"2\"/></w:listPr></w:pPr>"
        "<w:r><w:rPr><w:i/><w:color w:val=\"00FF00\"/></w:rPr><w:t>item</w:t></w:r></w:p>"
        "<w:p><w:r><w:pict><w:binData w:name=\"wordml://1.png\">"
        + png.toBase64() + "</w:binData>"
                           "<v:shape style=\"width:30pt;height:30pt\"><v:imagedata src=\"wordml://1.png\"/></v:shape></w:pict></w:r></w:p>"
                           "</wx:sect></w:body></w:wordDocument>";
    const QString wordMLPath = QDir(folder.path()).filePath(QStringLiteral("old.xml"));
    WriteBytes(wordMLPath, wordML);
    ASSERT_TRUE(TextDocumentIO::Read(wordMLPath, document));
    EXPECT_EQ(SampleDocuments::Describe(document).join(u'\n').toStdString(),
              "P h1 [Old Word|b,16pt]\nP list=numbered/1 [item|i,#00ff00]\nP <image 3x3px 30x30pt>");
}
