#include "support/StubProgressDelegate.h"
#include "toolkit/texttopdf/PrintedPDF.h"
#include "toolkit/options/TextToPDFConversionOptions.h"
#include "toolkit/text/TextAttributes.h"
#include "toolkit/texttopdf/TextDocumentPrinting.h"
#include "toolkit/texttopdf/TextToPDFConverter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFont>
#include <QTemporaryDir>

#include <algorithm>
#include <thread>
#include <vector>

namespace {

class Folder {
public:
    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
    QUrl url(const QString& name) const { return QUrl::fromLocalFile(path(name)); }
    QUrl write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return url(name);
    }
    QStringList files() const { return QDir(m_dir.path()).entryList(QDir::Files, QDir::Name); }

private:
    QTemporaryDir m_dir;
};

ConversionListItem Item(const QUrl& file)
{
    return {{ConversionListKey::FilePath, file}};
}

TextToPDFConversionOptions Letter(const ConversionList& items, const QUrl& destination)
{
    TextToPDFConversionOptions options;
    options.items = items;
    options.destinationURL = destination;
    options.pageWidth = 612;
    options.pageHeight = 792;
    options.leftMargin = options.rightMargin = options.topMargin = options.bottomMargin = 36;
    return options;
}

// Answers "cancelled" once the given number of documents has started.
class CancelAfter : public StubProgressDelegate {
public:
    explicit CancelAfter(int documents)
        : m_documents(documents)
    {}
    void report(long value)
    {
        values.push_back(value);
        if (value == 3 && --m_documents == 0)
            cancel = true;
    }
    std::vector<long> values;

private:
    int m_documents;
};

ProgressCallbackInfo Progress(CancelAfter& delegate)
{
    return {&delegate, static_cast<ProgressCallbackInfo::Selector>(&CancelAfter::report)};
}

// An HTML document of three pages whose second page has nothing on it.
const QByteArray kSecondPageBlank = "<html><body><p>opening page</p>"
                                    "<p style=\"page-break-before: always\">&nbsp;</p>"
                                    "<p style=\"page-break-before: always\">closing page</p></body></html>";

} // namespace

TEST(TextToPDF, TextAreaFollowsOrientation)
{
    HTMLPrintSettings landscape{612, 792, 36, 36, 36, 36, 1};
    EXPECT_EQ(TextDocumentPrinting::TextArea(landscape), QSizeF(720, 540));
    HTMLPrintSettings portrait{612, 792, 36, 36, 36, 36, 0};
    EXPECT_EQ(TextDocumentPrinting::TextArea(portrait), QSizeF(540, 720));
}

TEST(TextToPDF, PaperMarginsAndOrientationReachThePage)
{
    Folder folder;
    const QUrl source = folder.write("notes.txt", QByteArray("left and top\n").repeated(3));
    TextToPDFConverter converter;
    converter.SetConversionParameters(0, {}, {}, false, 612, 792, 72, 100, 50, 36);
    ASSERT_TRUE(converter.ConvertTextFileToPDF(source, folder.url("portrait.pdf")));
    const PrintedPDF portrait(folder.path("portrait.pdf"));
    ASSERT_EQ(portrait.pageCount(), 1);
    EXPECT_EQ(portrait.pageSize(1), QSizeF(612, 792));
    const QRectF box = portrait.textBox(1);
    EXPECT_NEAR(box.left(), 72, 2);
    EXPECT_GE(box.top(), 50);
    EXPECT_LT(box.top(), 50 + 12);
    EXPECT_EQ(portrait.text(1), QStringLiteral("left and top left and top left and top"));

    converter.SetConversionParameters(1, {}, {}, false, 612, 792, 72, 100, 50, 36);
    ASSERT_TRUE(converter.ConvertTextFileToPDF(source, folder.url("landscape.pdf")));
    const PrintedPDF landscape(folder.path("landscape.pdf"));
    EXPECT_EQ(landscape.pageSize(1), QSizeF(792, 612));
    EXPECT_NEAR(landscape.textBox(1).left(), 72, 2);
}

TEST(TextToPDF, LongTextBreaksWithinTheMarginsOnEveryPage)
{
    Folder folder;
    QByteArray text;
    for (int line = 0; line < 200; ++line)
        text += "line " + QByteArray::number(line) + "\n";
    const QUrl source = folder.write("long.txt", text);
    TextToPDFConverter converter;
    converter.SetConversionParameters(0, {}, {}, false, 612, 792, 36, 36, 100, 100);
    ASSERT_TRUE(converter.ConvertTextFileToPDF(source, folder.url("long.pdf")));
    const PrintedPDF printed(folder.path("long.pdf"));
    ASSERT_GT(printed.pageCount(), 1);
    for (int page = 1; page <= printed.pageCount(); ++page) {
        const QRectF box = printed.textBox(page);
        EXPECT_GE(box.top(), 100 - 1) << page;
        EXPECT_LE(box.bottom(), 792 - 100 + 1) << page;
    }
    EXPECT_TRUE(printed.text(1).startsWith(QStringLiteral("line 0 line 1")));
    EXPECT_TRUE(printed.text(printed.pageCount()).endsWith(QStringLiteral("line 199")));
}

TEST(TextToPDF, AttributesGoOverPlainTextAndOverRichTextOnlyWhenAsked)
{
    Folder folder;
    const QUrl plain = folder.write("plain.txt", "plain words");
    const QUrl rich = folder.write("rich.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Helvetica;}}\\f0\\fs48 rich words\\par}");
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSizeF(15);
    const QVariantMap attributes{{TextAttributes::kFont, font}};
    const auto sizesOf = [&](const QString& name) { return PrintedPDF(folder.path(name)).fontSizes(1); };
    const auto allNear = [](const std::vector<double>& sizes, double expected) {
        return !sizes.empty() && std::all_of(sizes.begin(), sizes.end(), [&](double size) { return std::abs(size - expected) < 0.5; });
    };

    TextToPDFConverter converter;
    converter.SetConversionParameters(0, {}, attributes, false, 612, 792, 36, 36, 36, 36);
    ASSERT_TRUE(converter.ConvertTextFileToPDF(plain, folder.url("plain.pdf")));
    ASSERT_TRUE(converter.ConvertTextFileToPDF(rich, folder.url("rich-own.pdf")));
    EXPECT_TRUE(allNear(sizesOf("plain.pdf"), 15));
    EXPECT_TRUE(allNear(sizesOf("rich-own.pdf"), 24));

    converter.SetConversionParameters(0, {}, attributes, true, 612, 792, 36, 36, 36, 36);
    ASSERT_TRUE(converter.ConvertTextFileToPDF(rich, folder.url("rich-given.pdf")));
    EXPECT_TRUE(allNear(sizesOf("rich-given.pdf"), 15));

    EXPECT_FALSE(TextToPDFConverter::IsRichTextFile(plain.toLocalFile()));
    EXPECT_TRUE(TextToPDFConverter::IsRichTextFile(rich.toLocalFile()));
    EXPECT_FALSE(TextToPDFConverter::IsRichTextFile(folder.path("missing.rtf")));
}

TEST(TextToPDF, BlankPagesGoFromSeparatePDFsAndStayInTheMerge)
{
    Folder sources;
    Folder output;
    const QUrl blankMiddle = sources.write("three.html", kSecondPageBlank);
    const QUrl other = sources.write("other.txt", "other document");

    TextToPDFConverter separate;
    const TextToPDFConversionOptions options = Letter({Item(blankMiddle)}, QUrl::fromLocalFile(output.path("")));
    separate.SetOptions(&options);
    ASSERT_TRUE(separate.ConvertToSeparatePDFs());
    const PrintedPDF alone(output.path("three.pdf"));
    ASSERT_EQ(alone.pageCount(), 2);
    EXPECT_EQ(alone.text(1), QStringLiteral("opening page"));
    EXPECT_EQ(alone.text(2), QStringLiteral("closing page"));

    TextToPDFConverter merge;
    const TextToPDFConversionOptions mergeOptions = Letter({Item(other), Item(blankMiddle)}, output.url("all.pdf"));
    merge.SetOptions(&mergeOptions);
    ASSERT_TRUE(merge.ConvertToSinglePDF());
    const PrintedPDF merged(output.path("all.pdf"));
    ASSERT_EQ(merged.pageCount(), 4);
    EXPECT_EQ(merged.text(1), QStringLiteral("other document"));
    EXPECT_EQ(merged.text(2), QStringLiteral("opening page"));
    EXPECT_EQ(merged.text(3), QString());
    EXPECT_EQ(merged.text(4), QStringLiteral("closing page"));
}

TEST(TextToPDF, ConvertsOnAWorkerThread)
{
    Folder folder;
    const QUrl source = folder.write("worker.rtf", "{\\rtf1\\ansi worker thread\\par}");
    bool converted = false;
    std::thread worker([&] {
        TextToPDFConverter converter;
        converter.SetConversionParameters(0, {}, {}, false, 612, 792, 36, 36, 36, 36);
        converted = converter.ConvertTextFileToPDF(source, folder.url("worker.pdf"));
    });
    worker.join();
    ASSERT_TRUE(converted);
    EXPECT_EQ(PrintedPDF(folder.path("worker.pdf")).text(1), QStringLiteral("worker thread"));
}

TEST(TextToPDF, AnEmptyDocumentStillGivesAPage)
{
    Folder folder;
    const QUrl empty = folder.write("empty.txt", "");
    TextToPDFConverter converter;
    converter.SetConversionParameters(0, {}, {}, false, 612, 792, 36, 36, 36, 36);
    ASSERT_TRUE(converter.ConvertTextFileToPDF(empty, folder.url("empty.pdf")));
    EXPECT_EQ(PrintedPDF(folder.path("empty.pdf")).pageCount(), 1);
}

TEST(TextToPDF, ADocumentThatCannotBeReadFailsAndWritesNothing)
{
    Folder sources;
    Folder output;
    const QUrl broken = sources.write("broken.docx", "PK\x03\x04 this is no zip archive");
    const QUrl missing = sources.url("missing.rtf");
    const QUrl good = sources.write("good.txt", "good");

    TextToPDFConverter converter;
    converter.SetConversionParameters(0, {}, {}, false, 612, 792, 36, 36, 36, 36);
    EXPECT_FALSE(converter.ConvertTextFileToPDF(broken, output.url("broken.pdf")));
    EXPECT_FALSE(converter.ConvertTextFileToPDF(missing, output.url("missing.pdf")));
    EXPECT_TRUE(output.files().isEmpty());
    // A PDF that cannot be written is a failure too.
    EXPECT_FALSE(converter.ConvertTextFileToPDF(good, output.url("no folder/good.pdf")));
    // Margins that leave no room on the paper print nothing.
    converter.SetConversionParameters(0, {}, {}, false, 612, 792, 300, 312, 36, 36);
    EXPECT_FALSE(converter.ConvertTextFileToPDF(good, output.url("good.pdf")));
    EXPECT_TRUE(output.files().isEmpty());

    // The list goes on past the failure, and says that one document failed.
    TextToPDFConverter separate;
    const TextToPDFConversionOptions options =
        Letter({Item(broken), Item(good), Item(missing)}, QUrl::fromLocalFile(output.path("")));
    separate.SetOptions(&options);
    EXPECT_FALSE(separate.ConvertToSeparatePDFs());
    EXPECT_EQ(output.files(), QStringList{QStringLiteral("good.pdf")});

    TextToPDFConverter merge;
    const TextToPDFConversionOptions mergeOptions = Letter({Item(good), Item(broken)}, output.url("merged.pdf"));
    merge.SetOptions(&mergeOptions);
    EXPECT_FALSE(merge.ConvertToSinglePDF());
    EXPECT_EQ(PrintedPDF(output.path("merged.pdf")).pageCount(), 1);

    TextToPDFConverter nothing;
    const TextToPDFConversionOptions nothingOptions = Letter({Item(broken)}, output.url("nothing.pdf"));
    nothing.SetOptions(&nothingOptions);
    EXPECT_FALSE(nothing.ConvertToSinglePDF());
    EXPECT_FALSE(QFile::exists(output.path("nothing.pdf")));
}

TEST(TextToPDF, ListRunnersReportAndStopOnCancel)
{
    Folder sources;
    Folder output;
    ConversionList items;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        items << Item(sources.write(QString::fromLatin1(name), name));

    EXPECT_FALSE(ConvertTextToPDF(nullptr));
    const TextToPDFConversionOptions none = Letter({}, QUrl::fromLocalFile(output.path("")));
    EXPECT_TRUE(ConvertTextToPDF(&none));

    CancelAfter never(0);
    TextToPDFConversionOptions mergeOptions = Letter(items, output.url("all.pdf"));
    mergeOptions.mergeIntoOne = 1;
    mergeOptions.progress = Progress(never);
    ASSERT_TRUE(ConvertTextToPDF(&mergeOptions));
    EXPECT_EQ(never.values, (std::vector<long>{3, 3, 3, 6, 7}));
    const PrintedPDF merged(output.path("all.pdf"));
    ASSERT_EQ(merged.pageCount(), 3);
    EXPECT_EQ(merged.text(1), QStringLiteral("a.txt"));
    EXPECT_EQ(merged.text(3), QStringLiteral("c.txt"));

    CancelAfter first(1);
    TextToPDFConverter cancelled;
    const TextToPDFConversionOptions cancelledOptions = Letter(items, output.url("cancelled.pdf"));
    cancelled.SetOptions(&cancelledOptions);
    cancelled.SetProgressCallback(Progress(first));
    EXPECT_FALSE(cancelled.ConvertToSinglePDF());
    EXPECT_EQ(first.values, std::vector<long>{3});
    EXPECT_FALSE(QFile::exists(output.path("cancelled.pdf")));

    CancelAfter second(2);
    TextToPDFConverter separate;
    const TextToPDFConversionOptions separateOptions = Letter(items, QUrl::fromLocalFile(output.path("")));
    separate.SetOptions(&separateOptions);
    separate.SetProgressCallback(Progress(second));
    EXPECT_FALSE(separate.ConvertToSeparatePDFs());
    EXPECT_EQ(second.values, (std::vector<long>{3, 3}));
    EXPECT_TRUE(QFile::exists(output.path("a.pdf")));
    EXPECT_TRUE(QFile::exists(output.path("b.pdf")));
    EXPECT_FALSE(QFile::exists(output.path("c.pdf")));
}
