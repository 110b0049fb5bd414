// Prints what the toolkit's image layer reads from each picture file given: one line a file with the
// number of representations and the time the read took, then one line a representation (at most the
// first three) with its pixel size, resolution, bits a sample, colour model, alpha and orientation.
// With --png FOLDER, the first representation is also written there as an 8-bit RGBA PNG named after
// the file, so that its pixels can be compared with another program's.

#include "toolkit/imageio/ImageFileReader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

#include <cstdio>

namespace {

const char* modelName(ColorSpaceModel model)
{
    switch (model) {
    case ColorSpaceModel::Grey:
        return "grey";
    case ColorSpaceModel::RGB:
        return "rgb";
    case ColorSpaceModel::CMYK:
        return "cmyk";
    case ColorSpaceModel::Indexed:
        return "indexed";
    }
    return "?";
}

void printRepresentation(const ImageRep& representation)
{
    const auto* bitmap = dynamic_cast<const BitmapImageRep*>(&representation);
    if (!bitmap) {
        std::printf("  pdf %dx%d\n", representation.pixelsWide(), representation.pixelsHigh());
        return;
    }
    std::printf("  %dx%d dpi=%.2fx%.2f bits=%d %s alpha=%d orientation=%d\n", bitmap->pixelsWide(), bitmap->pixelsHigh(),
                bitmap->dpiX(), bitmap->dpiY(), bitmap->bitsPerComponent(), modelName(bitmap->colorSpace()),
                bitmap->hasAlpha() ? 1 : 0, bitmap->metadata().orientation);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    QString pngFolder;
    if (arguments.size() >= 2 && arguments.front() == QLatin1String("--png")) {
        pngFolder = arguments.at(1);
        arguments = arguments.mid(2);
    }
    for (const QString& path : arguments) {
        QElapsedTimer timer;
        timer.start();
        const ImageRepList representations = ReadImageRepresentations(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
        std::printf("%s reps=%zu ms=%.1f\n", qPrintable(path), representations.size(), timer.nsecsElapsed() / 1e6);
        for (std::size_t index = 0; index < representations.size() && index < 3; ++index)
            printRepresentation(*representations[index]);
        if (pngFolder.isEmpty() || representations.empty())
            continue;
        if (const auto bitmap = std::dynamic_pointer_cast<BitmapImageRep>(representations.front()))
            bitmap->image().convertToFormat(QImage::Format_RGBA8888).save(QDir(pngFolder).filePath(QFileInfo(path).fileName() + QStringLiteral(".png")));
    }
    return 0;
}
