// Renders the first pages of a PDF at 150 dpi to PNG with the toolkit's page renderer (pages in
// parallel, one document per worker) and with pdftoppm, which a user would run instead, in the same
// run; prints pages per second of each and their ratio, and compares the pixels of a sample page.

#include "toolkit/converter/ImageConverter.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/pdfpages/PDFPageRenderer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

constexpr int kDPI = 150;

QImage OnlyImageMatching(const QString& folder, const QString& pattern)
{
    const QStringList files = QDir(folder).entryList({pattern}, QDir::Files, QDir::Name);
    return files.isEmpty() ? QImage() : QImage(QDir(folder).filePath(files.first()));
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: toolkit-pages PDF [PAGES]\n");
        return 2;
    }
    const QString pdf = QString::fromLocal8Bit(argv[1]);
    const int pages = argc > 2 ? std::atoi(argv[2]) : 100;
    QTemporaryDir ours, theirs;

    // Once on one thread, to tell the renderer's own cost from what the workers add, then concurrent.
    auto renderInto = [&](const QString& folder, bool concurrent, bool& rendered) {
        QElapsedTimer timer;
        timer.start();
        ImageConverter converter;
        if (!converter.OpenPDFDocument(QUrl::fromLocalFile(pdf)))
            return -1.0;
        converter.SetOutputInfo(ImageType::PNG, QUrl::fromLocalFile(folder), 0);
        converter.SetResolution(kDPI, kDPI);
        converter.SetPageRange(1, pages, 2);
        converter.SetConcurrent(concurrent ? 1 : 0);
        converter.SetOutputNaming(QStringLiteral("page"), 0, 1);
        rendered = RenderPDFPages(converter, false, {});
        return double(timer.nsecsElapsed()) / 1e9;
    };
    QTemporaryDir serial;
    bool rendered = false;
    const double serialSeconds = renderInto(serial.path(), false, rendered);
    const double ourSeconds = renderInto(ours.path(), true, rendered);
    if (ourSeconds < 0) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(kDPI), QStringLiteral("-png"),
                                                   QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                   QString::number(pages), pdf, theirs.filePath("page")});
    const double theirSeconds = double(timer.nsecsElapsed()) / 1e9;

    const int ourPages = int(QDir(ours.path()).entryList(QDir::Files).size());
    const int theirPages = int(QDir(theirs.path()).entryList(QDir::Files).size());
    std::printf("cores %u, %d dpi, result %s\n", std::thread::hardware_concurrency(), kDPI, rendered ? "true" : "false");
    std::printf("toolkit, one thread  %4d pages  %7.2f pages/s\n", ourPages, ourPages / serialSeconds);
    std::printf("toolkit, concurrent  %4d pages  %7.2f pages/s\n", ourPages, ourPages / ourSeconds);
    std::printf("pdftoppm            %4d pages  %7.2f pages/s\n", theirPages, theirPages / theirSeconds);
    std::printf("speed ratio (toolkit / pdftoppm): %.2f\n", (ourPages / ourSeconds) / (theirPages / theirSeconds));

    // The second page: both tools name it by its zero-padded number.
    const QImage mine = OnlyImageMatching(ours.path(), QStringLiteral("page-*2.png")).convertToFormat(QImage::Format_RGB32);
    const QImage reference =
        OnlyImageMatching(theirs.path(), QStringLiteral("page-*2.png")).convertToFormat(QImage::Format_RGB32);
    if (mine.size() != reference.size()) {
        std::printf("sample page sizes differ: %dx%d against %dx%d\n", mine.width(), mine.height(), reference.width(),
                    reference.height());
        return 0;
    }
    long long differing = 0;
    int largest = 0;
    for (int y = 0; y < mine.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(mine.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(reference.constScanLine(y));
        for (int x = 0; x < mine.width(); ++x) {
            const int d = std::max({std::abs(qRed(a[x]) - qRed(b[x])), std::abs(qGreen(a[x]) - qGreen(b[x])),
                                    std::abs(qBlue(a[x]) - qBlue(b[x]))});
            largest = std::max(largest, d);
            differing += d > 16 ? 1 : 0;
        }
    }
    std::printf("sample page %dx%d: largest channel difference %d, pixels off by more than 16: %.4f%%\n", mine.width(),
                mine.height(), largest, 100.0 * double(differing) / (double(mine.width()) * mine.height()));
    return 0;
}
