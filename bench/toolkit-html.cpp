// toolkit-html [COUNT]
//
// Writes COUNT (default 100) HTML files with a shared style sheet, text, a list and a table into
// a temporary folder, prints them all into one PDF with the toolkit's merged runner (called from a
// worker thread while the main thread serves the web engine), then, when wkhtmltopdf is on the
// PATH, prints the same files into one PDF with it (US Letter, half-inch margins both). Prints
// key=value lines: pages and pages per second of each, and the ratio of the toolkit's rate to
// wkhtmltopdf's. Exits non-zero when the toolkit wrote no PDF.

#include "platform/PdfDocument.h"
#include "toolkit/html/HTMLToPDF.h"
#include "toolkit/options/TextToPDFConversionOptions.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <thread>

namespace {

const char* const kStyle = "body { font-family: serif; line-height: 1.4; }\n"
                           "h1 { color: #224; border-bottom: 1px solid #88a; }\n"
                           "table { border-collapse: collapse; } td, th { border: 1px solid #999; padding: 2px 6px; }\n";

QByteArray page(int number)
{
    QByteArray html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Topic " + QByteArray::number(number)
                      + "</title><link rel=\"stylesheet\" href=\"style.css\"></head><body>\n<h1>Topic "
                      + QByteArray::number(number) + "</h1>\n";
    for (int paragraph = 0; paragraph < 6 + number % 5; ++paragraph) {
        html += "<p>";
        for (int sentence = 0; sentence < 6; ++sentence)
            html += "Paragraph " + QByteArray::number(paragraph) + " of topic " + QByteArray::number(number)
                    + " explains one more step of the procedure in plain words. ";
        html += "</p>\n";
    }
    html += "<ul><li>First item</li><li>Second item</li><li>Third item</li></ul>\n<table><tr><th>Name</th><th>Value</th></tr>";
    for (int row = 0; row < 12; ++row)
        html += "<tr><td>Setting " + QByteArray::number(row) + "</td><td>" + QByteArray::number(row * number) + "</td></tr>";
    html += "</table>\n</body></html>\n";
    return html;
}

QStringList writeFiles(const QDir& folder, int count)
{
    QFile style(folder.filePath(QStringLiteral("style.css")));
    if (style.open(QIODevice::WriteOnly))
        style.write(kStyle);
    QStringList paths;
    for (int number = 1; number <= count; ++number) {
        const QString path = folder.filePath(QStringLiteral("topic%1.html").arg(number, 3, 10, QLatin1Char('0')));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(page(number));
        paths << path;
    }
    return paths;
}

int pageCount(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const auto document = PdfDocument::open(file.readAll());
    return document ? document->pageCount() : 0;
}

struct Run {
    int pages = 0;
    double seconds = 0;
    double pagesPerSecond() const { return seconds > 0 ? pages / seconds : 0; }
};

Run runToolkit(QApplication& app, const QStringList& files, const QString& output)
{
    TextToPDFConversionOptions options;
    for (const QString& path : files)
        options.items << ConversionListItem{{ConversionListKey::FilePath, QUrl::fromLocalFile(path)}};
    options.destinationURL = QUrl::fromLocalFile(output);
    options.pageWidth = 612;
    options.pageHeight = 792;
    options.leftMargin = options.rightMargin = options.topMargin = options.bottomMargin = 36;
    QElapsedTimer timer;
    timer.start();
    std::thread worker([&] {
        HTMLToPDF converter;
        converter.Init(&options);
        converter.SaveAsTextToSinglePDF();
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    worker.join();
    return {pageCount(output), static_cast<double>(timer.nsecsElapsed()) / 1e9};
}

// Debian's wkhtmltopdf (built on an unpatched Qt) takes one input document per run: it is run
// once per file, as a user of it would, and the pages of its files are counted without merging them.
Run runWkhtmltopdf(const QString& program, const QStringList& files, const QDir& output)
{
    QStringList options{QStringLiteral("--quiet"), QStringLiteral("--enable-local-file-access"),
                        QStringLiteral("--load-error-handling"), QStringLiteral("ignore"),
                        QStringLiteral("--page-size"), QStringLiteral("Letter")};
    for (const char* side : {"--margin-top", "--margin-bottom", "--margin-left", "--margin-right"})
        options << QString::fromLatin1(side) << QStringLiteral("12.7mm");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    Run run;
    QElapsedTimer timer;
    timer.start();
    for (int index = 0; index < files.size(); ++index) {
        const QString pdf = output.filePath(QStringLiteral("wk%1.pdf").arg(index));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(program, QStringList(options) << files.at(index) << pdf);
        process.waitForFinished(-1);
    }
    run.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    for (int index = 0; index < files.size(); ++index)
        run.pages += pageCount(output.filePath(QStringLiteral("wk%1.pdf").arg(index)));
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 100;
    QTemporaryDir folder;
    const QStringList files = writeFiles(QDir(folder.path()), count);

    const Run toolkit = runToolkit(app, files, folder.filePath(QStringLiteral("toolkit.pdf")));
    std::printf("files=%d\ntoolkit_pages=%d\ntoolkit_seconds=%.2f\ntoolkit_pages_per_second=%.1f\n", count,
                toolkit.pages, toolkit.seconds, toolkit.pagesPerSecond());
    const QString wkhtmltopdf = QStandardPaths::findExecutable(QStringLiteral("wkhtmltopdf"));
    if (!wkhtmltopdf.isEmpty()) {
        QDir(folder.path()).mkdir(QStringLiteral("wk"));
        const Run other = runWkhtmltopdf(wkhtmltopdf, files, QDir(folder.filePath(QStringLiteral("wk"))));
        std::printf("wkhtmltopdf_pages=%d\nwkhtmltopdf_seconds=%.2f\nwkhtmltopdf_pages_per_second=%.1f\n", other.pages,
                    other.seconds, other.pagesPerSecond());
        if (other.pagesPerSecond() > 0)
            std::printf("rate_ratio_toolkit_to_wkhtmltopdf=%.2f\n", toolkit.pagesPerSecond() / other.pagesPerSecond());
    } else {
        std::printf("wkhtmltopdf=not installed\n");
    }
    return toolkit.pages > 0 ? 0 : 1;
}
