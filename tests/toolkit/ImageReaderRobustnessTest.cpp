#include "ToolkitTestImages.h"

#include "toolkit/converter/ImageConverter.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/imageio/ImageFileReader.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <random>

using namespace ToolkitTestImages;

namespace {

struct Sample {
    std::uint32_t type;
    QString name;
};

// Valid files of every readable format, written by the tests' own writers.
QList<Sample> writeSamples(const QTemporaryDir& folder)
{
    const QImage picture = quadrantImage(24, 16);
    auto at = [&](const char* name) { return folder.filePath(QString::fromLatin1(name)); };
    writePNG(at("a.png"), picture, 96);
    writeJPEG(at("a.jpg"), picture, 72, false);
    writeJPEG(at("c.jpg"), picture, 72, true);
    writeTIFF(at("a.tif"), {picture, picture}, 72);
    writeGIF(at("a.gif"), {picture, picture});
    writeJP2(at("a.jp2"), picture);
    writeEXR(at("a.exr"), picture);
    writeDNG(at("a.dng"), 32, 24);
    writeFax(at("a.g3"), quadrantImage(1728, 12), false);
    picture.save(at("a.bmp"), "BMP");
    writeICO(at("a.ico"), {quadrantImage(16, 16)});
    picture.save(at("a.icns"), "ICNS");
    writeTGA(at("a.tga"), picture, true);
    picture.save(at("a.xbm"), "XBM");
    writeSGI(at("a.sgi"), picture, true);
    writePhotoshop(at("a.psd"), picture, 72);
    writeMacPaint(at("a.pntg"), picture);
    writePDF(at("a.pdf"), 1);
    return {{ImageType::PNG, "a.png"}, {ImageType::JPEG, "a.jpg"}, {ImageType::JPEG, "c.jpg"}, {ImageType::TIFF, "a.tif"}, {ImageType::GIF, "a.gif"}, {ImageType::JPEG2000, "a.jp2"}, {ImageType::OpenEXR, "a.exr"}, {ImageType::CameraRaw, "a.dng"}, {ImageType::Fax, "a.g3"}, {ImageType::BMP, "a.bmp"}, {ImageType::WindowsIcon, "a.ico"}, {ImageType::AppleIcon, "a.icns"}, {ImageType::TGA, "a.tga"}, {ImageType::XBitmap, "a.xbm"}, {ImageType::SGI, "a.sgi"}, {ImageType::Photoshop, "a.psd"}, {ImageType::MacPaint, "a.pntg"}, {ImageType::PDF, "a.pdf"}};
}

} // namespace

// Every reader meets cut-off and damaged copies of a valid file, and noise: it may refuse them, it may
// read what is there, but it must never read or write outside its buffers (this runs under the address
// and undefined-behaviour sanitizers).
TEST(ImageReaderRobustness, TruncatedDamagedAndRandomInputs)
{
    QTemporaryDir folder;
    const QList<Sample> samples = writeSamples(folder);
    std::mt19937 random(20261207);
    for (const Sample& sample : samples) {
        const QByteArray valid = readBytes(folder.filePath(sample.name));
        ASSERT_FALSE(valid.isEmpty()) << sample.name.toStdString();
        EXPECT_FALSE(ReadImageData(valid, sample.type).empty()) << sample.name.toStdString();
        SCOPED_TRACE(sample.name.toStdString());
        const qsizetype step = std::max<qsizetype>(1, valid.size() / 40);
        for (qsizetype length = 0; length < valid.size(); length += step)
            ReadImageData(valid.left(length), sample.type);
        for (int round = 0; round < 60; ++round) {
            QByteArray damaged = valid;
            const int flips = 1 + static_cast<int>(random() % 8);
            for (int flip = 0; flip < flips; ++flip)
                damaged[static_cast<qsizetype>(random() % static_cast<std::uint32_t>(damaged.size()))] = static_cast<char>(random());
            ReadImageData(damaged, sample.type);
        }
        for (int round = 0; round < 20; ++round) {
            QByteArray noise(static_cast<qsizetype>(random() % 4096), '\0');
            for (char& byte : noise)
                byte = static_cast<char>(random());
            // Noise behind the format's own first bytes reaches further into the parser.
            noise.prepend(valid.left(std::min<qsizetype>(valid.size(), 8 + static_cast<qsizetype>(random() % 64))));
            ReadImageData(noise, sample.type);
        }
    }
    QByteArray noise(2048, '\0');
    for (char& byte : noise)
        byte = static_cast<char>(random());
    EXPECT_TRUE(ReadImageData(noise, ImageType::CameraRaw).empty());
    EXPECT_TRUE(ReadImageData(noise, ImageType::PICT).empty());
}

TEST(ImageReaderRobustness, TruncatedWebPSourcesFailCleanly)
{
    QTemporaryDir folder;
    const QString valid = folder.filePath("valid.webp");
    ASSERT_TRUE(writeWebP(valid, quadrantImage(24, 16)));
    const QByteArray bytes = readBytes(valid);
    for (qsizetype length = 0; length < bytes.size(); length += std::max<qsizetype>(1, bytes.size() / 12)) {
        const QString cut = folder.filePath(QStringLiteral("cut%1.webp").arg(length));
        ASSERT_TRUE(writeBytes(cut, bytes.left(length)));
        ImageConverter converter;
        if (converter.LoadSourceImage(QUrl::fromLocalFile(cut))) {
            EXPECT_TRUE(converter.m_currentRep);
        }
    }
}
