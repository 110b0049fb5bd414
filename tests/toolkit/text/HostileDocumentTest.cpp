// Documents made to crash or exhaust the text road: bounded totals, nesting and linked files, and
// plain text of any shape printed whole.
#include "toolkit/text/DOCXReader.h"
#include "toolkit/text/HTMLReader.h"
#include "toolkit/text/ODTReader.h"
#include "toolkit/text/PlistNesting.h"
#include "toolkit/text/TextReadLimits.h"
#include "toolkit/texttopdf/PlainTextPrinting.h"
#include "toolkit/texttopdf/TextDocumentPrinting.h"

#include "support/PdfReadBack.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>

#include <gtest/gtest.h>

#include <plist/plist.h>

namespace {

int Pictures(const QTextDocument& document)
{
    int count = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment)
            count += fragment.fragment().charFormat().isImageFormat() ? 1 : 0;
    }
    return count;
}

int TableDepth(QTextFrame* frame)
{
    int deepest = 0;
    for (QTextFrame* child : frame->childFrames())
        deepest = std::max(deepest, TableDepth(child) + (qobject_cast<QTextTable*>(child) ? 1 : 0));
    return deepest;
}

// A binary property list: a web archive whose dictionary also holds arrays nested depth deep.
QByteArray NestedArchive(int depth)
{
    plist_t root = plist_new_dict();
    plist_t main = plist_new_dict();
    plist_dict_set_item(main, "WebResourceData", plist_new_data("<p>page</p>", 11));
    plist_dict_set_item(main, "WebResourceURL", plist_new_string("http://example.invalid/"));
    plist_dict_set_item(root, "WebMainResource", main);
    plist_t inner = plist_new_array();
    for (int i = 1; i < depth; ++i) {
        plist_t outer = plist_new_array();
        plist_array_append_item(outer, inner);
        inner = outer;
    }
    plist_dict_set_item(root, "Deep", inner);
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    const QByteArray archive(bytes, static_cast<qsizetype>(length));
    free(bytes);
    plist_free(root);
    return archive;
}

bool WritePicture(const QString& path)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image.save(path, "PNG");
}

TEST(HostileDocuments, ADocumentAddsUpToNoMoreCharactersThanTheBound)
{
    // every space run within its own bound, the whole far beyond
    QByteArray content = "<?xml version=\"1.0\"?><office:document-content "
                         "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                         "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:text><text:p>";
    const int runs = static_cast<int>(TextReadLimits::kMaxDocumentCharacters / TextReadLimits::kMaxRepeat) + 2;
    for (int i = 0; i < runs; ++i)
        content += "<text:s text:c=\"1000\"/>";
    content += "</text:p></office:text></office:body></office:document-content>";
    QTextDocument document;
    QString error;
    EXPECT_FALSE(ODTReader::ReadContentXML(content, document, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("bounds"))) << error.toStdString();
    EXPECT_TRUE(document.isEmpty());
}

TEST(HostileDocuments, PropertyListsNestedTooDeeplyAreMeasuredNotParsed)
{
    EXPECT_TRUE(PlistNesting::IsWithin(NestedArchive(10), TextReadLimits::kMaxPlistNesting));
    EXPECT_FALSE(PlistNesting::IsWithin(NestedArchive(TextReadLimits::kMaxPlistNesting + 5), TextReadLimits::kMaxPlistNesting));
    // the top array inside itself
    const QByteArray cycle = QByteArray("bplist00") + QByteArray::fromHex("a100") + QByteArray::fromHex("08")
                             + QByteArray(6, '\0') + QByteArray::fromHex("0101") + QByteArray::fromHex("0000000000000001")
                             + QByteArray(8, '\0') + QByteArray::fromHex("000000000000000a");
    EXPECT_FALSE(PlistNesting::IsWithin(cycle, 1000));
    EXPECT_FALSE(PlistNesting::IsWithin(QByteArray("bplist00") + QByteArray(40, '\xff'), 1000));
    const QByteArray xml = "<plist>" + QByteArray("<array>").repeated(100) + QByteArray("</array>").repeated(100) + "</plist>";
    EXPECT_FALSE(PlistNesting::IsWithin(xml, TextReadLimits::kMaxPlistNesting));
    EXPECT_TRUE(PlistNesting::IsWithin("<plist><dict><key>a</key><array/><array></array></dict></plist>", 2));

    QTextDocument document;
    ASSERT_TRUE(HTMLReader::ReadWebArchive(NestedArchive(10), document));
    EXPECT_EQ(document.toPlainText(), QStringLiteral("page"));
    EXPECT_FALSE(HTMLReader::ReadWebArchive(NestedArchive(5000), document));
}

TEST(HostileDocuments, PagesTakeOnlyRegularFilesOfTheirOwnFolder)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("page/pictures")));
    const QString folder = root.filePath(QStringLiteral("page"));
    ASSERT_TRUE(WritePicture(folder + QStringLiteral("/pictures/inside.png")));
    ASSERT_TRUE(WritePicture(root.filePath(QStringLiteral("outside.png"))));
    ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("outside.png")), folder + QStringLiteral("/link.png")));
    const QByteArray html = QStringLiteral("<p>text</p><img src=\"pictures/inside.png\"><img src=\"../outside.png\">"
                                           "<img src=\"%1\"><img src=\"file://%1\"><img src=\"link.png\">"
                                           "<img src=\"/dev/zero\"><img src=\"file:///dev/urandom\">"
                                           "<link rel=\"stylesheet\" href=\"/dev/zero\">")
                                .arg(root.filePath(QStringLiteral("outside.png")))
                                .toUtf8();
    QTextDocument document;
    ASSERT_TRUE(HTMLReader::ReadHTML(html, QUrl::fromLocalFile(folder + QStringLiteral("/page.html")), document));
    EXPECT_EQ(Pictures(document), 1);
    EXPECT_TRUE(document.toPlainText().startsWith(QStringLiteral("text")));

    // a web archive's address names no folder: only its own pictures
    QTextDocument archived;
    plist_t rootNode = plist_new_dict();
    plist_t main = plist_new_dict();
    const QByteArray page = "<p>a</p><img src=\"zero\"><img src=\"urandom\">";
    plist_dict_set_item(main, "WebResourceData", plist_new_data(page.constData(), static_cast<uint64_t>(page.size())));
    plist_dict_set_item(main, "WebResourceURL", plist_new_string("file:///dev/"));
    plist_dict_set_item(rootNode, "WebMainResource", main);
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(rootNode, &bytes, &length);
    const QByteArray archive(bytes, static_cast<qsizetype>(length));
    free(bytes);
    plist_free(rootNode);
    ASSERT_TRUE(HTMLReader::ReadWebArchive(archive, archived));
    EXPECT_EQ(Pictures(archived), 0);
    archived.setPageSize(QSizeF(500, 700));
    EXPECT_EQ(archived.pageCount(), 1);
}

TEST(HostileDocuments, NestingOfPagesIsBoundedAsTheReadersBoundIt)
{
    QTextDocument document;
    const QByteArray tables = QByteArray("<table><tr><td>").repeated(20) + "core" + QByteArray("</td></tr></table>").repeated(20);
    ASSERT_TRUE(HTMLReader::ReadHTML(tables, QUrl(), document));
    EXPECT_EQ(TableDepth(document.rootFrame()), TextReadLimits::kMaxTableNesting);
    EXPECT_TRUE(document.toPlainText().contains(QStringLiteral("core")));

    const QByteArray lists = QByteArray("<ul><li>").repeated(5000) + "deep" + QByteArray("</li></ul>").repeated(5000);
    ASSERT_TRUE(HTMLReader::ReadHTML(lists, QUrl(), document));
    EXPECT_TRUE(document.toPlainText().contains(QStringLiteral("deep")));
    int deepestIndent = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        deepestIndent = std::max(deepestIndent, block.textList() ? block.textList()->format().indent() : 0);
    EXPECT_LE(deepestIndent, TextReadLimits::kMaxHTMLNesting);

    // text outside the tags stays as it was, comments and stray brackets included
    ASSERT_TRUE(HTMLReader::ReadHTML("<p>a &lt; b <!-- <div> --> c > d</p>", QUrl(), document));
    EXPECT_EQ(document.toPlainText(), QStringLiteral("a < b c > d"));
}

TEST(HostileDocuments, ATableFlattenedPastTheLimitKeepsEachRowOnALineOfItsOwn)
{
    const QByteArray inner = "<table><tr><td>a</td><td>b</td></tr><tr><td>c</td><td>d</td></tr></table>";
    const int depth = TextReadLimits::kMaxTableNesting;
    const QByteArray tables = QByteArray("<table><tr><td>").repeated(depth) + inner + QByteArray("</td></tr></table>").repeated(depth);
    QTextDocument document;
    ASSERT_TRUE(HTMLReader::ReadHTML(tables, QUrl(), document));
    QStringList lines;
    for (const QString& line : document.toPlainText().split(QRegularExpression(QStringLiteral("[\\n\\x{2028}\\x{2029}]")))) {
        if (!line.simplified().isEmpty())
            lines << line.simplified();
    }
    EXPECT_EQ(lines, (QStringList{QStringLiteral("a b"), QStringLiteral("c d")}));
}

TEST(HostileDocuments, LongLinesAreBrokenBeforeLayoutAndNothingIsLost)
{
    QString line;
    for (int i = 0; line.size() < 50'000; ++i)
        line += QStringLiteral("word%1 ").arg(i);
    const QString prepared = PlainTextPrinting::PreparedText(line + QStringLiteral("\r\nend\rlast"));
    for (const QString& piece : prepared.split(u'\n'))
        EXPECT_LE(piece.size(), PlainTextPrinting::kMaxLineCharacters);
    QString joined = prepared;
    joined.remove(u'\n');
    EXPECT_EQ(joined, line + QStringLiteral("endlast"));
    // marks without a base nor a space: broken anyway, never inside a surrogate pair
    const QString marks = QString(5000, QChar(0x0301)) + QString::fromUcs4(U"\U0001F600").repeated(3000);
    for (const QString& piece : PlainTextPrinting::PreparedText(marks).split(u'\n')) {
        EXPECT_LE(piece.size(), PlainTextPrinting::kMaxLineCharacters);
        EXPECT_FALSE(piece.front().isLowSurrogate());
    }
}

TEST(HostileDocuments, EveryKindOfLineEndingIsOneNewLine)
{
    const QString text = QStringLiteral("a\r\nb\rc\nd") + QChar::ParagraphSeparator + QStringLiteral("e\r\n\r\nf\r");
    EXPECT_EQ(PlainTextPrinting::PreparedText(text), QStringLiteral("a\nb\nc\nd\ne\n\nf\n"));
}

TEST(HostileDocuments, PlainTextPrintsInPiecesWithEveryLineOnceAndInOrder)
{
    QStringList lines;
    for (int i = 0; i < 3000; ++i)
        lines << QStringLiteral("line %1 of the text").arg(i);
    lines << QString(9000, u'x'); // one paragraph longer than a layout takes at once
    const HTMLPrintSettings settings{612, 792, 36, 36, 36, 36, 0};
    const PlainTextPrinting::Printed printed = PlainTextPrinting::PrintToPDF(lines.join(u'\n'), {}, settings);
    ASSERT_FALSE(printed.pdf.isEmpty());
    const QStringList pages = PdfReadBack::pageTexts(printed.pdf);
    ASSERT_EQ(static_cast<size_t>(pages.size()), printed.pages.size());
    // the numbers of the lines each page shows
    static const QRegularExpression numbered(QStringLiteral("line (\\d+) of the text"));
    std::vector<int> read;
    std::vector<int> perPage;
    for (const QString& page : pages) {
        perPage.push_back(0);
        for (const QRegularExpressionMatch& match : numbered.globalMatch(page)) {
            read.push_back(match.captured(1).toInt());
            ++perPage.back();
        }
    }
    ASSERT_EQ(read.size(), 3000u);
    for (int i = 0; i < 3000; ++i)
        ASSERT_EQ(read[static_cast<size_t>(i)], i);
    // every page is full but the last ones: pieces join without gaps
    for (size_t page = 0; page + 1 < 3000 / static_cast<size_t>(perPage.front()); ++page)
        EXPECT_EQ(perPage[page], perPage.front()) << page;
    EXPECT_TRUE(pages.join(QString()).contains(QString(100, u'x')));
    for (KnownPage known : printed.pages)
        EXPECT_EQ(known, KnownPage::HoldsText);

    const PlainTextPrinting::Printed blank = PlainTextPrinting::PrintToPDF(QString(5000, u'\n'), {}, settings);
    ASSERT_GT(blank.pages.size(), 1u);
    for (KnownPage known : blank.pages)
        EXPECT_EQ(known, KnownPage::Blank);
}

TEST(PrintedText, EveryWordCanBeFoundInTheText)
{
    const QString words = QStringLiteral("file office fluffy finish affine");
    const HTMLPrintSettings settings{612, 792, 36, 36, 36, 36, 0};
    const QString plain = PdfReadBack::pageTexts(PlainTextPrinting::PrintToPDF(words, {}, settings).pdf).join(u' ');
    QTextDocument rich;
    rich.setHtml(QStringLiteral("<p><b>file</b> office fluffy finish affine</p>"));
    const QString printed = PdfReadBack::pageTexts(TextDocumentPrinting::PrintToPDF(rich, settings)).join(u' ');
    for (const QString& text : {plain, printed}) {
        EXPECT_EQ(text.simplified(), words) << text.toStdString();
        for (const QChar c : text)
            EXPECT_FALSE(c.unicode() >= 0xFB00 && c.unicode() <= 0xFB06) << text.toStdString();
    }
}

TEST(WordFields, HyperlinkFieldsLinkTheTextTheyShow)
{
    const QByteArray xml =
        "<?xml version=\"1.0\"?><w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<w:body><w:p><w:r><w:t xml:space=\"preserve\">See </w:t></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
        "<w:r><w:instrText xml:space=\"preserve\"> HYPERLINK \"https://example.org/manual\" \\o \"tip\" </w:instrText></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>the manual</w:t></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r><w:r><w:t xml:space=\"preserve\"> and </w:t></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>HYPERLINK \\l \"intro\"</w:instrText></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>the start</w:t></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
        "<w:r><w:instrText xml:space=\"preserve\">HYPERLINK \\o \"tip\" \"https://example.org/first\" </w:instrText></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t xml:space=\"preserve\"> first</w:t></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>PAGE</w:instrText></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>7</w:t></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p></w:body></w:document>";
    QTextDocument document;
    ASSERT_TRUE(DOCXReader::ReadDocumentXML(xml, document));
    EXPECT_EQ(document.toPlainText(), QStringLiteral("See the manual and the start first7"));
    QStringList links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            if (format.isAnchor())
                links << fragment.fragment().text() + u'=' + format.anchorHref();
        }
    }
    EXPECT_EQ(links, (QStringList{QStringLiteral("the manual=https://example.org/manual"), QStringLiteral("the start=#intro"),
                                  QStringLiteral(" first=https://example.org/first")}));
}

} // namespace
