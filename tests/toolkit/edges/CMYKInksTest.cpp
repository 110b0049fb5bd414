// The inks of CMYK output by the plain formula and through the press profile: each of cyan,
// magenta and yellow answers to its own one of red, green and blue.

#include "toolkit/imagewriter/CMYKConversion.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <array>

namespace {

std::array<int, 4> inksOf(QRgb colour, const char* profile)
{
    QImage image(1, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, colour);
    const QByteArray inks = RGBImageToCMYK(image, profile);
    return {static_cast<unsigned char>(inks[0]), static_cast<unsigned char>(inks[1]),
            static_cast<unsigned char>(inks[2]), static_cast<unsigned char>(inks[3])};
}

} // namespace

TEST(CMYKInks, ThePlainFormulaTakesEachInkFromItsOwnChannel)
{
    using Inks = std::array<int, 4>;
    EXPECT_EQ(inksOf(qRgb(255, 255, 0), nullptr), (Inks{0, 0, 255, 0}));    // yellow
    EXPECT_EQ(inksOf(qRgb(0, 255, 255), nullptr), (Inks{255, 0, 0, 0}));    // cyan
    EXPECT_EQ(inksOf(qRgb(255, 0, 255), nullptr), (Inks{0, 255, 0, 0}));    // magenta
    EXPECT_EQ(inksOf(qRgb(0, 0, 255), nullptr), (Inks{255, 255, 0, 0}));    // blue
    EXPECT_EQ(inksOf(qRgb(128, 64, 0), nullptr), (Inks{0, 127, 255, 127})); // brown
    EXPECT_EQ(inksOf(qRgb(0, 0, 0), nullptr), (Inks{0, 0, 0, 255}));
    EXPECT_EQ(inksOf(qRgb(255, 255, 255), nullptr), (Inks{0, 0, 0, 0}));
}

TEST(CMYKInks, ThePressProfileGivesYellowForYellowAndNoneForBlue)
{
    if (!QFile::exists(QString::fromLatin1(kDefaultCMYKProfilePath)))
        GTEST_SKIP() << "no CMYK press profile on this machine";
    const auto yellow = inksOf(qRgb(255, 255, 0), kDefaultCMYKProfilePath);
    EXPECT_GT(yellow[2], 200);
    EXPECT_LT(yellow[0], 40);
    EXPECT_LT(yellow[1], 40);
    const auto blue = inksOf(qRgb(0, 0, 255), kDefaultCMYKProfilePath);
    EXPECT_GT(blue[0], 150);
    EXPECT_LT(blue[2], 40);
}
