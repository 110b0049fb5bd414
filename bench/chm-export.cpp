// chm-export [--paper W,H] [--margins L,T,R,B] [--landscape] [--no-links] [--no-toc] [--encoding NAME] FILE.chm OUT.pdf
//
// Exports a CHM file to PDF the way the batch application does (the document's export, called from
// a worker thread while the main thread serves the web engine) and prints key=value lines: topics,
// pages, the mean time per topic of each phase, seconds, the peak memory of this process, and the
// ratio of the whole export's time to the engine's loading, layout and printing alone.
// Sizes are points; the defaults are US Letter with 36-point margins. Exits non-zero when no PDF
// was written.

#include "common/TomefoldConversionOptions.h"
#include "chm/CHMDocument.h"
#include "chm/ITSSScheme.h"
#include "export/PDFExportProvider.h"
#include "platform/PdfDocument.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>
#include <optional>
#include <thread>
#include <unistd.h>

namespace {

QString g_statistics; // the export's statistics line, caught from its logging category

void catchStatistics(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (context.category != nullptr && qstrcmp(context.category, "tomefold.export.statistics") == 0) {
        g_statistics = message;
        return;
    }
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qUtf8Printable(message));
}

std::optional<QList<double>> numbers(const QString& text, int count)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != count)
        return std::nullopt;
    QList<double> values;
    for (const QString& part : parts) {
        bool ok = false;
        values << part.toDouble(&ok);
        if (!ok)
            return std::nullopt;
    }
    return values;
}

struct Arguments {
    TomefoldConversionOptions options;
    QString source;
    QString target;
};

std::optional<Arguments> parse(const QStringList& args)
{
    Arguments parsed;
    TomefoldConversionOptions& options = parsed.options;
    options.pageWidth = 612;
    options.pageHeight = 792;
    options.leftMargin = options.topMargin = options.rightMargin = options.bottomMargin = 36;
    options.exportHyperlinks = options.exportTOC = 1;
    QStringList files;
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        const QString next = i + 1 < args.size() ? args[i + 1] : QString();
        if (arg == QLatin1String("--paper")) {
            const auto size = numbers(next, 2);
            if (!size)
                return std::nullopt;
            options.pageWidth = (*size)[0];
            options.pageHeight = (*size)[1];
            ++i;
        } else if (arg == QLatin1String("--margins")) {
            const auto margins = numbers(next, 4);
            if (!margins)
                return std::nullopt;
            options.leftMargin = (*margins)[0];
            options.topMargin = (*margins)[1];
            options.rightMargin = (*margins)[2];
            options.bottomMargin = (*margins)[3];
            ++i;
        } else if (arg == QLatin1String("--landscape")) {
            options.orientation = kTomefoldLandscapeOrientation;
        } else if (arg == QLatin1String("--no-links")) {
            options.exportHyperlinks = 0;
        } else if (arg == QLatin1String("--no-toc")) {
            options.exportTOC = 0;
        } else if (arg == QLatin1String("--encoding") && !next.isEmpty()) {
            options.encodingName = next;
            ++i;
        } else if (arg.startsWith(QLatin1String("--"))) {
            return std::nullopt;
        } else {
            files << arg;
        }
    }
    if (files.size() != 2)
        return std::nullopt;
    parsed.source = files[0];
    parsed.target = files[1];
    return parsed;
}

// The value of one "key=value" line of the statistics; 0 when missing.
double statisticValue(const QString& lines, const char* key)
{
    const QRegularExpression line(QStringLiteral("^%1=(.*)$").arg(QLatin1String(key)),
                                  QRegularExpression::MultilineOption);
    return line.match(lines).captured(1).toDouble();
}

long peakMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    // Headless, and the engine's sandbox cannot run as root.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    registerITSSScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);

    std::optional<Arguments> arguments = parse(QCoreApplication::arguments());
    if (!arguments) {
        std::fprintf(stderr, "usage: chm-export [--paper W,H] [--margins L,T,R,B] [--landscape] [--no-links] [--no-toc] "
                             "[--encoding NAME] FILE.chm OUT.pdf\n");
        return 2;
    }
    qInstallMessageHandler(catchStatistics);
    QLoggingCategory::setFilterRules(QStringLiteral("tomefold.export.statistics.info=true"));
    QFile::remove(arguments->target);

    CHMDocument document;
    document.setExportProvider(&PDFExportProvider());
    if (!document.readFromURL(QUrl::fromLocalFile(arguments->source), QStringLiteral("CHM"))) {
        std::fprintf(stderr, "cannot open %s\n", qUtf8Printable(arguments->source));
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    std::thread worker([&] {
        document.exportToPDF(QUrl::fromLocalFile(arguments->target), &arguments->options);
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    worker.join();
    const double seconds = static_cast<double>(timer.elapsed()) / 1000.0;

    QFile written(arguments->target);
    const bool wrote = written.open(QIODevice::ReadOnly);
    const std::unique_ptr<PdfDocument> pdf = wrote ? PdfDocument::open(written.readAll()) : nullptr;
    QString lines = g_statistics;
    lines.replace(QRegularExpression(QStringLiteral("^pages=.*$"), QRegularExpression::MultilineOption),
                  QStringLiteral("pages=%1").arg(pdf ? pdf->pageCount() : 0));
    std::printf("%s", qUtf8Printable(lines));
    std::printf("seconds=%.2f\npeak_rss_mb=%.1f\n", seconds, static_cast<double>(peakMemoryKiB()) / 1024.0);
    // The whole export against the engine's own part of it: loading, laying out and printing.
    const double engineMs = statisticValue(lines, "load_ms") + statisticValue(lines, "layout_ms")
                            + statisticValue(lines, "print_ms");
    const double topics = statisticValue(lines, "topics");
    if (engineMs > 0 && topics > 0)
        std::printf("whole_to_engine_ratio=%.2f\n", seconds * 1000.0 / topics / engineMs);
    return pdf ? 0 : 1;
}
