// Speed of the text document layer, as pages per second next to the tools a user would use
// instead: pdftotext for PDF to text, LibreOffice's --convert-to for office documents.
//   text-bench [PDF ...]   (without arguments a 500-page PDF is drawn first)
//   text-bench --to-pdf    (only the text documents printed to PDF)
#include "text-bench-topdf.h"
#include "toolkit/text/LibreOfficeConversion.h"
#include "toolkit/Toolkit.h"
#include "toolkit/text/TextDocumentIO.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <cstdio>

namespace {

const int kPDFPages = 500;
const int kDocumentPages = 100;

void DrawPDF(const QString& path)
{
    QPdfWriter writer(path);
    writer.setResolution(72);
    QPainter painter(&writer);
    QFont body(QStringLiteral("DejaVu Sans"), 10);
    for (int page = 1; page <= kPDFPages; ++page) {
        if (page > 1)
            writer.newPage();
        painter.setFont(body);
        for (int line = 0; line < 45; ++line)
            painter.drawText(50, 60 + line * 15,
                             QStringLiteral("Page %1 line %2: the quick brown fox jumps over the lazy dog again.")
                                 .arg(page)
                                 .arg(line));
    }
}

// About one printed page per iteration: a heading, paragraphs with runs, a list and a table.
void BuildDocument(QTextDocument& document)
{
    QTextCursor cursor(&document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat plain;
    for (int page = 1; page <= kDocumentPages; ++page) {
        QTextBlockFormat heading;
        heading.setHeadingLevel(2);
        heading.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        cursor.insertBlock(heading);
        cursor.insertText(QStringLiteral("Section %1").arg(page), bold);
        for (int paragraph = 0; paragraph < 6; ++paragraph) {
            cursor.insertBlock(QTextBlockFormat());
            for (int sentence = 0; sentence < 5; ++sentence) {
                cursor.insertText(QStringLiteral("A sentence of plain words, "), plain);
                cursor.insertText(QStringLiteral("some bold"), bold);
                cursor.insertText(QStringLiteral(" and more plain words to fill the line. "), plain);
            }
        }
        QTextTable* table = cursor.insertTable(4, 3);
        for (int cell = 0; cell < 12; ++cell)
            table->cellAt(cell / 3, cell % 3).firstCursorPosition().insertText(QStringLiteral("cell %1").arg(cell));
        cursor.setPosition(table->lastPosition() + 1);
    }
}

double Seconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

double RunTool(const QString& program, const QStringList& arguments)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(600'000);
    return process.exitCode() == 0 ? Seconds(timer) : -1;
}

void BenchPDF(const QString& pdf, int pages, const QDir& out)
{
    std::printf("\nPDF to text documents: %s (%d pages)\n", qPrintable(QFileInfo(pdf).fileName()), pages);
    double reference = -1;
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (!pdftotext.isEmpty()) {
        reference = RunTool(pdftotext, {QStringLiteral("-layout"), pdf, out.filePath(QStringLiteral("ref.txt"))});
        std::printf("  %-22s %8.1f pages/s\n", "pdftotext -layout", pages / reference);
    }
    const char* names[] = {"", "text UTF-8", "text UTF-16", "RTF", "RTFD", "DOC (LibreOffice)", "DOCX", "ODT"};
    const char* extensions[] = {"", "txt", "txt", "rtf", "rtfd", "doc", "docx", "odt"};
    for (uint32_t type = 1; type <= 7; ++type) {
        if (type == 5 && !LibreOfficeConversion::IsAvailable())
            continue;
        PDFToDocumentConversionOptions options;
        options.sourceURL = QUrl::fromLocalFile(pdf);
        options.destinationURL = QUrl::fromLocalFile(out.path());
        options.baseName = QStringLiteral("out%1").arg(type);
        options.extension = QString::fromLatin1(extensions[type]);
        options.documentType = type;
        QElapsedTimer timer;
        timer.start();
        const bool ok = ConvertPDFToDocument(&options);
        const double seconds = Seconds(timer);
        std::printf("  %-22s %8.1f pages/s", names[type], pages / seconds);
        if (reference > 0)
            std::printf("   %5.2fx pdftotext's time", seconds / reference);
        std::printf("%s\n", ok ? "" : "   (failed)");
    }
}

void BenchDocuments(const QDir& out)
{
    QTextDocument document;
    BuildDocument(document);
    std::printf("\n%d-page documents: our writer and reader, LibreOffice's conversion of the file to PDF\n",
                kDocumentPages);
    const bool office = LibreOfficeConversion::IsAvailable();
    const std::tuple<TextDocumentIO::OutputFormat, const char*, const char*> formats[] = {
        {TextDocumentIO::OutputFormat::PlainTextUTF8, "txt", "text"},
        {TextDocumentIO::OutputFormat::RTF, "rtf", "RTF"},
        {TextDocumentIO::OutputFormat::DOCX, "docx", "DOCX"},
        {TextDocumentIO::OutputFormat::ODT, "odt", "ODT"},
    };
    for (const auto& [format, extension, name] : formats) {
        const QString path = out.filePath(QStringLiteral("doc.") + QString::fromLatin1(extension));
        QElapsedTimer timer;
        timer.start();
        TextDocumentIO::Write(document, path, format);
        const double write = Seconds(timer);
        timer.restart();
        QTextDocument back;
        TextDocumentIO::Read(path, back);
        const double read = Seconds(timer);
        std::printf("  %-5s write %8.1f pages/s   read %8.1f pages/s", name, kDocumentPages / write,
                    kDocumentPages / read);
        if (office) {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            timer.restart();
            const auto pdf = LibreOfficeConversion::Convert(file.readAll(), QString::fromLatin1(extension),
                                                            QStringLiteral("pdf"), QStringLiteral("pdf"));
            const double convert = Seconds(timer);
            if (pdf)
                std::printf("   LibreOffice to PDF %6.1f pages/s (read %5.1fx faster)", kDocumentPages / convert,
                            convert / read);
        }
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTemporaryDir work;
    const QDir out(work.path());
    QStringList pdfs = application.arguments().mid(1);
    if (pdfs == QStringList{QStringLiteral("--to-pdf")}) {
        QTextDocument document;
        BuildDocument(document);
        BenchTextToPDF(document, out);
        return 0;
    }
    if (pdfs.isEmpty()) {
        pdfs << out.filePath(QStringLiteral("bench.pdf"));
        DrawPDF(pdfs.front());
    }
    for (const QString& pdf : pdfs) {
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        info.waitForFinished();
        int pages = kPDFPages;
        for (const QByteArray& line : info.readAllStandardOutput().split('\n')) {
            if (line.startsWith("Pages:"))
                pages = line.mid(6).trimmed().toInt();
        }
        BenchPDF(pdf, pages, out);
    }
    BenchDocuments(out);
    QTextDocument document;
    BuildDocument(document);
    BenchTextToPDF(document, out);
    return 0;
}
