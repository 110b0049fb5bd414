// Loads the same picture in several formats through the toolkit's image layer (every representation with
// its resolution, colour space and metadata) and through QImageReader (what a Qt host would use instead),
// and prints the milliseconds per load of each and their ratio, one line per format.

#include "toolkit/imageio/ImageFileReader.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kRounds = 5;

// A picture with gradients and edges, so that no codec finds it trivially small.
QImage testPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = qRgb(x * 255 / width, y * 255 / height, ((x / 64 + y / 64) % 2) * 200);
    }
    return picture;
}

template <typename Load>
double millisecondsPerLoad(Load load)
{
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < kRounds; ++round) {
        if (!load()) {
            std::fprintf(stderr, "a load failed\n");
            std::exit(1);
        }
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6 / kRounds;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    const int width = argc > 1 ? std::atoi(argv[1]) : 3000;
    const QImage picture = testPicture(width, width * 2 / 3);
    QTemporaryDir folder;
    std::printf("format toolkit_ms qt_ms ratio (picture %dx%d, %d rounds)\n", picture.width(), picture.height(), kRounds);
    for (const char* format : {"png", "jpg", "tif", "bmp"}) {
        const QString path = folder.filePath(QStringLiteral("picture.") + QLatin1String(format));
        if (!picture.save(path)) {
            std::fprintf(stderr, "cannot write %s\n", format);
            return 1;
        }
        const QUrl url = QUrl::fromLocalFile(path);
        const double toolkit = millisecondsPerLoad([&] { return !ReadImageRepresentations(url).empty(); });
        const double qt = millisecondsPerLoad([&] { return !QImageReader(path).read().isNull(); });
        std::printf("%s %.1f %.1f %.2f\n", format, toolkit, qt, toolkit / qt);
    }
    return 0;
}
