#include "support/StubProgressDelegate.h"
#include "support/TestPdf.h"

#include "toolkit/Toolkit.h"
#include "toolkit/text/PDFToTextConverter.h"
#include "toolkit/text/TextDocumentIO.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

// A PDF with one page per entry; an empty entry is a page without text. Lines of an entry are
// separated by '\n'; a line starting with '*' is drawn in a bold 20-point font.
void MakePDF(const QString& path, const QStringList& pages)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::Letter));
    writer.setResolution(72);
    QPainter painter(&writer);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0)
            writer.newPage();
        int y = 60;
        for (const QString& line : pages[i].split(u'\n', Qt::SkipEmptyParts)) {
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPointSizeF(line.startsWith(u'*') ? 20 : 11);
            font.setBold(line.startsWith(u'*'));
            painter.setFont(font);
            painter.drawText(50, y, line.startsWith(u'*') ? line.mid(1) : line);
            y += 30;
        }
    }
}

QStringList Words(const QString& text)
{
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

QString ReadText(const QString& path)
{
    QTextDocument document;
    if (!TextDocumentIO::Read(path, document))
        return QStringLiteral("<unreadable>");
    return document.toPlainText();
}

QStringList Pages(int count)
{
    QStringList pages;
    for (int i = 1; i <= count; ++i)
        pages << QStringLiteral("Page %1 holds enough words to count as text").arg(i);
    return pages;
}

// Two pages whose work multiplies at every level: patterns whose cells are filled with the pattern
// below (eight deep, a hundred cells each), and forms that draw the form below twice, a little
// further on (twenty-two deep: two million letters).
QByteArray MultiplyingPDF()
{
    constexpr int kPatterns = 8;
    constexpr int kForms = 22;
    const int firstPattern = 8;
    const int firstForm = firstPattern + kPatterns;
    QList<QByteArray> objects{"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>"};
    const auto page = [](int content, const QByteArray& resources) {
        return "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents " + QByteArray::number(content)
               + " 0 R /Resources << " + resources + " >> >>";
    };
    const QByteArray top = QByteArray::number(kPatterns - 1);
    objects << page(6, "/Pattern << /P" + top + " " + QByteArray::number(firstPattern + kPatterns - 1) + " 0 R >>")
            << page(7, "/Font << /F1 5 0 R >> /XObject << /X " + QByteArray::number(firstForm + kForms - 1) + " 0 R >>")
            << "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"
            << TestPdf::stream("/Pattern cs /P" + top + " scn 0 0 100 100 re f")
            << TestPdf::stream("BT /F1 12 Tf 50 700 Td (Counted) Tj ET /X Do");
    const QByteArray letter = "BT /F1 4 Tf 0 0 Td (x) Tj ET";
    for (int level = 0; level < kPatterns; ++level) {
        const QByteArray below = QByteArray::number(level - 1);
        const QByteArray content = level == 0 ? letter : "/Pattern cs /P" + below + " scn 0 0 10 10 re f";
        const QByteArray resources = level == 0 ? "<< /Font << /F1 5 0 R >> >>"
                                                : "<< /Pattern << /P" + below + " " + QByteArray::number(firstPattern + level - 1) + " 0 R >> >>";
        objects << TestPdf::stream(content, "/Type /Pattern /PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0 10 10] "
                                            "/XStep 1 /YStep 1 /Resources "
                                                + resources);
    }
    for (int level = 0; level < kForms; ++level) {
        const QByteArray step = QByteArray::number(5 << (level / 2));
        const QByteArray shift = level % 2 ? "1 0 0 1 0 -" + step + " cm" : "1 0 0 1 " + step + " 0 cm";
        const QByteArray content = level == 0 ? letter : "/X Do " + shift + " /X Do";
        const QByteArray resources = level == 0 ? "<< /Font << /F1 5 0 R >> >>"
                                                : "<< /XObject << /X " + QByteArray::number(firstForm + level - 1) + " 0 R >> >>";
        objects << TestPdf::stream(content, "/Type /XObject /Subtype /Form /BBox [-10000 -10000 10000 10000] /Resources " + resources);
    }
    return TestPdf::build(objects);
}

class PDFToText : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.isValid()); }

    QString path(const QString& name) const { return QDir(m_folder.path()).filePath(name); }
    QStringList outputs() const
    {
        QDir out(path(QStringLiteral("out")));
        return out.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
    PDFToDocumentConversionOptions options(const QString& pdf, uint32_t type = 1, const QString& extension = "txt")
    {
        QDir().mkpath(path(QStringLiteral("out")));
        PDFToDocumentConversionOptions record;
        record.sourceURL = QUrl::fromLocalFile(path(pdf));
        record.destinationURL = QUrl::fromLocalFile(path(QStringLiteral("out")));
        record.extension = extension;
        record.documentType = type;
        return record;
    }

    QTemporaryDir m_folder;
};

} // namespace

TEST_F(PDFToText, PageSelectionEdgeCases)
{
    MakePDF(path(QStringLiteral("twelve.pdf")), Pages(12));
    auto record = options(QStringLiteral("twelve.pdf"));
    record.pageMode = 2;
    record.firstPage = 5;
    record.lastPage = 500;
    ASSERT_TRUE(ConvertPDFToDocument(&record));
    const QString text = ReadText(path(QStringLiteral("out/twelve.txt")));
    EXPECT_TRUE(text.startsWith(QStringLiteral("Page 5 "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Page 12 ")));
    EXPECT_FALSE(text.contains(QStringLiteral("Page 4 ")));

    for (const auto& [mode, first, last] : {std::tuple{2u, 13, 14}, std::tuple{2u, 0, 3}, std::tuple{1u, 13, 0},
                                            std::tuple{1u, 0, 0}, std::tuple{2u, 5, 3}}) {
        record.pageMode = mode;
        record.firstPage = first;
        record.lastPage = last;
        record.baseName = QStringLiteral("none");
        EXPECT_FALSE(ConvertPDFToDocument(&record)) << mode << " " << first << " " << last;
    }
    EXPECT_EQ(outputs(), QStringList{QStringLiteral("twelve.txt")});

    record.pageMode = 1;
    record.firstPage = 7;
    record.baseName = QStringLiteral("seventh");
    ASSERT_TRUE(ConvertPDFToDocument(&record));
    EXPECT_EQ(Words(ReadText(path(QStringLiteral("out/seventh.txt")))).value(1), QStringLiteral("7"));
}

TEST_F(PDFToText, OneFilePerPageIsNamedWithPaddedNumbers)
{
    MakePDF(path(QStringLiteral("long.pdf")), Pages(120));
    auto record = options(QStringLiteral("long.pdf"));
    record.pagePerFile = 1;
    record.baseName = QStringLiteral("base");
    record.pageMode = 2;
    record.firstPage = 1;
    record.lastPage = 3;
    ASSERT_TRUE(ConvertPDFToDocument(&record));
    EXPECT_EQ(outputs(), (QStringList{QStringLiteral("base-001.txt"), QStringLiteral("base-002.txt"),
                                      QStringLiteral("base-003.txt")}));
    EXPECT_EQ(Words(ReadText(path(QStringLiteral("out/base-002.txt")))).value(1), QStringLiteral("2"));

    record.pageMode = 1;
    record.firstPage = 1;
    ASSERT_TRUE(ConvertPDFToDocument(&record));
    EXPECT_TRUE(outputs().contains(QStringLiteral("base.txt")));
}

TEST_F(PDFToText, PagesWithoutTextAreLeftOut)
{
    MakePDF(path(QStringLiteral("gaps.pdf")), {QStringLiteral("First page with words"), QString(),
                                               QStringLiteral("Third page with words")});
    auto record = options(QStringLiteral("gaps.pdf"));
    record.pagePerFile = 1;
    ASSERT_TRUE(ConvertPDFToDocument(&record));
    EXPECT_EQ(outputs(), (QStringList{QStringLiteral("gaps-1.txt"), QStringLiteral("gaps-3.txt")}));

    MakePDF(path(QStringLiteral("scan.pdf")), {QString(), QString()});
    auto scan = options(QStringLiteral("scan.pdf"));
    EXPECT_FALSE(ConvertPDFToDocument(&scan));
    EXPECT_FALSE(outputs().contains(QStringLiteral("scan.txt")));

    // Twenty spaces count as text, a few do not, though a page of spaces has no words.
    MakePDF(path(QStringLiteral("spaces.pdf")), {QString(25, u' '), QString(5, u' ')});
    auto spaces = options(QStringLiteral("spaces.pdf"));
    spaces.pagePerFile = 1;
    ASSERT_TRUE(ConvertPDFToDocument(&spaces));
    EXPECT_TRUE(outputs().contains(QStringLiteral("spaces-1.txt")));
    EXPECT_FALSE(outputs().contains(QStringLiteral("spaces-2.txt")));

    EXPECT_TRUE(PDFToTextConverter::IsBlankText(QStringLiteral(" \uFFFC \n\t\uFFFC")));
    EXPECT_FALSE(PDFToTextConverter::IsBlankText(QString(20, u' ')));
    EXPECT_FALSE(PDFToTextConverter::IsBlankText(QStringLiteral(" x ")));
}

TEST_F(PDFToText, FailuresGiveFalseInsteadOfCrashingOrClaimingSuccess)
{
    EXPECT_FALSE(ConvertPDFToDocument(nullptr));
    QFile junk(path(QStringLiteral("junk.pdf")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("this is not a PDF");
    junk.close();
    auto unreadable = options(QStringLiteral("junk.pdf"));
    EXPECT_FALSE(ConvertPDFToDocument(&unreadable));
    PDFToTextConverter converter(unreadable);
    EXPECT_EQ(converter.openError(), PDFToTextConverter::kCannotOpenError);
    EXPECT_FALSE(converter.ConvertDocument());

    MakePDF(path(QStringLiteral("fine.pdf")), Pages(2));
    for (const uint32_t type : {0u, 8u, 99u}) {
        auto record = options(QStringLiteral("fine.pdf"), type);
        EXPECT_FALSE(ConvertPDFToDocument(&record)) << type;
    }
    EXPECT_TRUE(outputs().isEmpty());

    auto nowhere = options(QStringLiteral("fine.pdf"));
    nowhere.destinationURL = QUrl::fromLocalFile(path(QStringLiteral("missing/folder")));
    EXPECT_FALSE(ConvertPDFToDocument(&nowhere));
}

// Work that multiplies at every level of a page is bounded: the page gives what was read so far.
TEST_F(PDFToText, APageOfMultiplyingWorkIsReadOnlyWithinBounds)
{
    QFile file(path(QStringLiteral("multiplying.pdf")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(MultiplyingPDF());
    file.close();
    auto record = options(QStringLiteral("multiplying.pdf"));
    record.pagePerFile = 1;
    ASSERT_TRUE(ConvertPDFToDocument(&record));
    EXPECT_EQ(outputs(), QStringList{QStringLiteral("multiplying-2.txt")});
    const QString text = ReadText(path(QStringLiteral("out/multiplying-2.txt")));
    EXPECT_TRUE(text.contains(QStringLiteral("Counted")));
    EXPECT_LT(text.count(u'x'), 30'000);
}

TEST_F(PDFToText, AWrongPasswordLeavesTheDocumentLocked)
{
    const QString qpdf = QStandardPaths::findExecutable(QStringLiteral("qpdf"));
    if (qpdf.isEmpty())
        GTEST_SKIP() << "qpdf is not installed";
    MakePDF(path(QStringLiteral("open.pdf")), Pages(1));
    ASSERT_EQ(QProcess::execute(qpdf, {QStringLiteral("--encrypt"), QStringLiteral("secret"), QStringLiteral("owner"),
                                       QStringLiteral("256"), QStringLiteral("--"), path(QStringLiteral("open.pdf")),
                                       path(QStringLiteral("locked.pdf"))}),
              0);
    auto record = options(QStringLiteral("locked.pdf"));
    record.password = QStringLiteral("wrong");
    EXPECT_FALSE(ConvertPDFToDocument(&record));
    record.password = QStringLiteral("secret");
    ASSERT_TRUE(ConvertPDFToDocument(&record));
    EXPECT_TRUE(ReadText(path(QStringLiteral("out/locked.txt"))).startsWith(QStringLiteral("Page 1 ")));
}

namespace {

class CancellingDelegate : public StubProgressDelegate {
public:
    void report(long page)
    {
        reported.push_back(page);
        cancel = reported.size() >= 2;
    }
    std::vector<long> reported;
};

} // namespace

TEST_F(PDFToText, ACancelStillWritesThePagesCollected)
{
    MakePDF(path(QStringLiteral("five.pdf")), Pages(5));
    CancellingDelegate delegate;
    auto record = options(QStringLiteral("five.pdf"));
    record.progress.object = &delegate;
    record.progress.selector = static_cast<ProgressCallbackInfo::Selector>(&CancellingDelegate::report);
    ASSERT_TRUE(ConvertPDFToDocument(&record));
    EXPECT_EQ(delegate.reported, (std::vector<long>{1, 2}));
    const QString text = ReadText(path(QStringLiteral("out/five.txt")));
    EXPECT_TRUE(text.contains(QStringLiteral("Page 2 ")));
    EXPECT_FALSE(text.contains(QStringLiteral("Page 3 ")));
}

TEST_F(PDFToText, TextMatchesPdftotextAndEveryFormatIsWritten)
{
    MakePDF(path(QStringLiteral("mixed.pdf")),
            {QStringLiteral("*Big Heading\nSome body text on the first page.\nA second line, with punctuation!"),
             QStringLiteral("Second page: Привет мир and ελληνικά too.")});
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    auto record = options(QStringLiteral("mixed.pdf"));
    ASSERT_TRUE(ConvertPDFToDocument(&record));
    const QStringList ours = Words(ReadText(path(QStringLiteral("out/mixed.txt"))));
    if (!pdftotext.isEmpty()) {
        QProcess process;
        process.start(pdftotext, {QStringLiteral("-layout"), path(QStringLiteral("mixed.pdf")), QStringLiteral("-")});
        ASSERT_TRUE(process.waitForFinished(60'000));
        EXPECT_EQ(ours, Words(QString::fromUtf8(process.readAllStandardOutput())));
    }
    const std::pair<uint32_t, const char*> formats[] = {{2, "u16.txt"}, {3, "rtf"}, {4, "rtfd"}, {6, "docx"}, {7, "odt"}};
    for (const auto& [type, extension] : formats) {
        auto each = options(QStringLiteral("mixed.pdf"), type, QString::fromLatin1(extension));
        ASSERT_TRUE(ConvertPDFToDocument(&each)) << extension;
        EXPECT_EQ(Words(ReadText(path(QStringLiteral("out/mixed.") + QString::fromLatin1(extension)))), ours)
            << extension;
    }
    // fonts and sizes become character formats
    QTextDocument docx;
    ASSERT_TRUE(TextDocumentIO::Read(path(QStringLiteral("out/mixed.docx")), docx));
    const QTextCharFormat heading = docx.begin().begin().fragment().charFormat();
    EXPECT_EQ(heading.fontPointSize(), 20);
    EXPECT_GE(heading.fontWeight(), QFont::DemiBold);
    EXPECT_TRUE(heading.fontFamilies().toStringList().value(0).startsWith(QStringLiteral("DejaVu")));
}
