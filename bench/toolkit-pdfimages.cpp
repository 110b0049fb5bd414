// Extracts the images of each PDF given with the toolkit's extractor (PNG output) and lists them with
// `pdfimages -list`, the tool a user would reach for. For each file it prints how many images each
// found, how many of ours have a partner of the same page, size and colour family, and the time per
// file of our extraction against `pdfimages -png` writing the same images.
//
// Both list images as the pages draw them (an image drawn twice is listed twice); pdfimages gives soft
// masks rows of their own, which the extractor applies to their images instead.

#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/pdfimages/PDFImageExtractor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <set>
#include <tuple>

namespace {

// Page, width, height, family ("gray" or "rgb").
using ImageKey = std::tuple<int, int, int, QString>;

QString FamilyOf(const QImage& image)
{
    // By the file's own layout, not by its pixels: a colour image may hold only grays.
    const bool gray = image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_Grayscale16
                      || image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
    return gray ? QStringLiteral("gray") : QStringLiteral("rgb");
}

std::multiset<ImageKey> OurImages(const QString& folder)
{
    std::multiset<ImageKey> images;
    static const QRegularExpression name(QStringLiteral("_Page(\\d+)_\\d+\\.png$"));
    for (const QString& file : QDir(folder).entryList(QDir::Files)) {
        const auto match = name.match(file);
        const QImage image(QDir(folder).filePath(file));
        if (match.hasMatch() && !image.isNull())
            images.insert({match.captured(1).toInt(), image.width(), image.height(), FamilyOf(image)});
    }
    return images;
}

std::multiset<ImageKey> ListedImages(const QString& pdf)
{
    QProcess list;
    list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    list.waitForFinished(-1);
    std::multiset<ImageKey> images;
    const QStringList lines = QString::fromUtf8(list.readAllStandardOutput()).split('\n');
    for (const QString& line : lines.mid(2)) {
        const QStringList fields = line.simplified().split(' ');
        if (fields.size() < 6 || (fields[2] != "image" && fields[2] != "stencil"))
            continue;
        // Index, separation and DeviceN images come out in their base or alternate space; CMYK as RGB.
        const QString family = fields[5] == "gray" ? QStringLiteral("gray") : QStringLiteral("rgb");
        images.insert({fields[0].toInt(), fields[3].toInt(), fields[4].toInt(), family});
    }
    return images;
}

double Milliseconds(QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    std::printf("%-36s %9s %6s %8s %12s\n", "file", "pdfimages", "ours", "matched", "time ratio");
    int totalListed = 0, totalOurs = 0, totalMatched = 0;
    for (const QString& pdf : app.arguments().mid(1)) {
        QTemporaryDir ours, theirs;
        QElapsedTimer timer;
        timer.start();
        {
            PDFImageExtractor extractor;
            if (!extractor.OpenSourcePDF(QUrl::fromLocalFile(pdf))) {
                std::printf("%-36s does not open\n", qPrintable(QFileInfo(pdf).fileName()));
                continue;
            }
            extractor.SetOutputInfo(ImageType::PNG, QUrl::fromLocalFile(ours.path()), 0);
            extractor.ExtractImages();
        }
        const double ourTime = Milliseconds(timer);
        timer.restart();
        QProcess::execute(QStringLiteral("pdfimages"), {QStringLiteral("-png"), pdf, theirs.filePath("img")});
        const double theirTime = Milliseconds(timer);

        const auto mine = OurImages(ours.path());
        auto listed = ListedImages(pdf);
        int matched = 0;
        for (const ImageKey& key : mine) {
            const auto partner = listed.find(key);
            if (partner != listed.end()) {
                ++matched;
                listed.erase(partner);
            }
        }
        const int listedCount = int(ListedImages(pdf).size());
        std::printf("%-36s %9d %6d %8d %12.2f\n", qPrintable(QFileInfo(pdf).fileName()), listedCount, int(mine.size()),
                    matched, theirTime > 0 ? ourTime / theirTime : 0.0);
        totalListed += listedCount;
        totalOurs += int(mine.size());
        totalMatched += matched;
    }
    std::printf("%-36s %9d %6d %8d\n", "total", totalListed, totalOurs, totalMatched);
    return 0;
}
