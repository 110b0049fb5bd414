#include "text-bench-topdf.h"

#include "platform/PdfDocument.h"
#include "toolkit/text/LibreOfficeConversion.h"
#include "toolkit/text/TextDocumentIO.h"
#include "toolkit/texttopdf/TextToPDFConverter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextDocument>

#include <cstdio>
#include <tuple>

namespace {

double SecondsOf(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

int PageCount(const QByteArray& pdf)
{
    const auto document = PdfDocument::open(pdf);
    return document ? document->pageCount() : 0;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void BenchTextToPDF(const QTextDocument& document, const QDir& out)
{
    std::printf("\nText documents to PDF (Letter, 36 pt margins): ours next to LibreOffice --convert-to pdf\n");
    const bool office = LibreOfficeConversion::IsAvailable();
    const std::tuple<TextDocumentIO::OutputFormat, const char*, const char*> formats[] = {
        {TextDocumentIO::OutputFormat::PlainTextUTF8, "txt", "text"},
        {TextDocumentIO::OutputFormat::RTF, "rtf", "RTF"},
        {TextDocumentIO::OutputFormat::RTFD, "rtfd", "RTFD"},
        {TextDocumentIO::OutputFormat::DOCX, "docx", "DOCX"},
        {TextDocumentIO::OutputFormat::ODT, "odt", "ODT"},
        {TextDocumentIO::OutputFormat::DOC, "doc", "DOC"},
    };
    TextToPDFConverter converter;
    converter.SetConversionParameters(0, {}, {}, false, 612, 792, 36, 36, 36, 36);
    for (const auto& [format, extension, name] : formats) {
        if (format == TextDocumentIO::OutputFormat::DOC && !office)
            continue;
        const QString source = out.filePath(QStringLiteral("topdf.") + QString::fromLatin1(extension));
        if (!TextDocumentIO::Write(document, source, format)) {
            std::printf("  %-5s (could not be written)\n", name);
            continue;
        }
        const QString pdf = source + QStringLiteral(".pdf");
        QElapsedTimer timer;
        timer.start();
        const bool ok = converter.ConvertTextFileToPDF(QUrl::fromLocalFile(source), QUrl::fromLocalFile(pdf));
        const double ours = SecondsOf(timer);
        const int ourPages = ok ? PageCount(ReadFile(pdf)) : 0;
        std::printf("  %-5s ours %4d pages %8.1f pages/s", name, ourPages, ourPages / ours);
        if (office && format != TextDocumentIO::OutputFormat::RTFD) {
            timer.restart();
            const auto theirs = LibreOfficeConversion::Convert(ReadFile(source), QString::fromLatin1(extension),
                                                               QStringLiteral("pdf"), QStringLiteral("pdf"));
            const double seconds = SecondsOf(timer);
            const int theirPages = theirs ? PageCount(*theirs) : 0;
            if (theirPages > 0)
                std::printf("   LibreOffice %4d pages %6.1f pages/s   ours %5.1fx faster per page", theirPages,
                            theirPages / seconds, (ourPages / ours) / (theirPages / seconds));
        }
        std::printf("%s\n", ok ? "" : "   (ours failed)");
    }
}
