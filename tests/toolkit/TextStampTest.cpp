#include "toolkit/converter/ImageConverter.h"
#include "toolkit/converter/TextStamp.h"
#include "toolkit/helpers/OrientationTransform.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QPainter>
#include <QRawFont>

#include <cstdlib>
#include <limits>

namespace {

const QString kSans = QStringLiteral("DejaVu Sans");

// The stamp drawn on a white canvas as the renderer's bitmap context would draw it.
QImage drawStamp(TextStampOptions& stamp, int width, int height)
{
    ImageConverter converter;
    converter.m_textStamp.referenceWidth = 550;
    converter.m_textStamp.referenceHeight = 550;
    QImage canvas(width, height, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setTransform(BitmapContextTransform(height));
    DrawTextStamp(converter, painter, stamp, width, height);
    painter.end();
    return canvas;
}

TextStampOptions blackText(const QString& text, std::int64_t size)
{
    TextStampOptions stamp;
    stamp.text = text;
    stamp.font = QFont(kSans);
    stamp.fontSize = size;
    stamp.color = Qt::black;
    stamp.alpha = 1;
    stamp.x = 10;
    stamp.y = 10;
    stamp.right = 60;
    stamp.top = 40;
    return stamp;
}

// The rectangle of pixels that are not white (device coordinates).
QRect inkBox(const QImage& image, int threshold = 60)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (255 * 3 - (qRed(pixel) + qGreen(pixel) + qBlue(pixel)) > threshold)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

int countPixels(const QImage& image, const std::function<bool(QRgb)>& test)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += test(image.pixel(x, y)) ? 1 : 0;
    return count;
}

class TextStamp : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFontDatabase::hasFamily(kSans))
            GTEST_SKIP() << "DejaVu Sans is not installed";
    }
};

} // namespace

TEST_F(TextStamp, SizeScalesWithTheCanvasLongerSide)
{
    TextStampOptions large = blackText(QStringLiteral("H"), 24);
    const QRect onLarge = inkBox(drawStamp(large, 1100, 600));
    TextStampOptions small = blackText(QStringLiteral("H"), 24);
    const QRect onSmall = inkBox(drawStamp(small, 275, 200));
    // A capital H of DejaVu Sans is 0.729 of the font size high: 48 and 12 pixels of font size.
    EXPECT_NEAR(onLarge.height(), 0.729 * 48, 2);
    EXPECT_NEAR(onSmall.height(), 0.729 * 12, 2);
    // Near the lower-left corner, the distances scale: 10 reference units are 20 pixels at twice the size.
    EXPECT_NEAR(large.x, 20, 1e-9);
    EXPECT_NEAR(large.y, 10 * 600.0 / 550, 1e-9);
    EXPECT_NEAR(onLarge.bottom(), 600 - 1 - large.y, 2);
}

TEST_F(TextStamp, CentredStampStaysCentredOnAnyCanvas)
{
    const double fontSize = 40;
    const QRectF outline = TextStampOutline(QStringLiteral("HH"), kSans, fontSize, 0).boundingRect();
    for (const QSize canvas : {QSize(800, 400), QSize(300, 900), QSize(550, 550)}) {
        TextStampOptions stamp = blackText(QStringLiteral("HH"), 40);
        stamp.x = 275 - outline.width() / 2 - outline.left();
        stamp.y = 275 - outline.height() / 2 - outline.top();
        stamp.right = stamp.x + outline.width();
        stamp.top = stamp.y + outline.height();
        const QRect ink = inkBox(drawStamp(stamp, canvas.width(), canvas.height()));
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_NEAR(ink.center().x(), canvas.width() / 2.0, 3) << canvas.width() << "x" << canvas.height();
        EXPECT_NEAR(ink.center().y(), canvas.height() / 2.0, 3) << canvas.width() << "x" << canvas.height();
    }
}

TEST_F(TextStamp, RotatedStrokeTextLandsInItsBox)
{
    TextStampOptions stamp = blackText(QStringLiteral("HHHH"), 60);
    stamp.x = 100;
    stamp.y = 100;
    stamp.right = 200;
    stamp.top = 130;
    stamp.angle = 90;
    stamp.drawingMode = 1;
    stamp.strokeWidth = 1;
    const QImage stroked = drawStamp(stamp, 550, 550);
    const QRect ink = inkBox(stroked);
    // A quarter turn counter-clockwise: the line runs up the picture from the origin (100, 100 from the
    // bottom), the letters' tops pointing left.
    EXPECT_GT(ink.height(), 2 * ink.width());
    EXPECT_GE(ink.left(), 100 - 50);
    EXPECT_LE(ink.right(), 100 + 2);
    EXPECT_LE(ink.bottom(), 550 - 100 + 2);
    EXPECT_GE(ink.top(), 550 - 100 - 4 * 60);

    TextStampOptions filled = stamp;
    filled.drawingMode = 0;
    const QImage full = drawStamp(filled, 550, 550);
    auto dark = [](QRgb pixel) { return qGray(pixel) < 128; };
    EXPECT_GT(countPixels(full, dark), countPixels(stroked, dark) * 3 / 2);
}

TEST_F(TextStamp, ShadowOffsetAndBlurAreVisible)
{
    auto withShadow = [](std::int64_t blur) {
        TextStampOptions stamp = blackText(QStringLiteral("H"), 80);
        stamp.color = Qt::blue;
        stamp.hasShadow = 1;
        stamp.shadowColor = Qt::red;
        stamp.shadowOffsetX = 20;
        stamp.shadowOffsetY = -20;
        stamp.shadowBlur = blur;
        stamp.y = 100; // clear of the bottom edge, where the shadow would be cut
        stamp.top = 130;
        return stamp;
    };
    TextStampOptions sharpStamp = withShadow(0);
    const QImage sharp = drawStamp(sharpStamp, 550, 550);
    auto blue = [](QRgb p) { return qBlue(p) > 200 && qRed(p) < 60; };
    auto red = [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60; };
    QRect blueBox;
    QRect redBox;
    for (int y = 0; y < sharp.height(); ++y) {
        for (int x = 0; x < sharp.width(); ++x) {
            if (blue(sharp.pixel(x, y)))
                blueBox |= QRect(x, y, 1, 1);
            if (red(sharp.pixel(x, y)))
                redBox |= QRect(x, y, 1, 1);
        }
    }
    ASSERT_FALSE(blueBox.isEmpty());
    ASSERT_FALSE(redBox.isEmpty());
    // The offset is in the context's base space: 20 to the right, 20 down the picture.
    EXPECT_NEAR(redBox.right() - blueBox.right(), 20, 2);
    EXPECT_NEAR(redBox.bottom() - blueBox.bottom(), 20, 2);
    EXPECT_EQ(sharpStamp.shadowOffsetX, 20); // at scale 1 the record keeps its offsets

    TextStampOptions blurredStamp = withShadow(10);
    const QImage blurred = drawStamp(blurredStamp, 550, 550);
    auto partlyRed = [](QRgb p) { return qRed(p) > 200 && qGreen(p) > 40 && qGreen(p) < 215 && qBlue(p) > 40 && qBlue(p) < 215; };
    EXPECT_GT(countPixels(blurred, partlyRed), 4 * countPixels(sharp, partlyRed) + 100);
}

TEST_F(TextStamp, AlphaIsHonoured)
{
    TextStampOptions stamp = blackText(QStringLiteral("H"), 80);
    stamp.alpha = 0.5;
    const QImage half = drawStamp(stamp, 550, 550);
    int darkest = 255;
    for (int y = 0; y < half.height(); ++y)
        for (int x = 0; x < half.width(); ++x)
            darkest = std::min(darkest, qGray(half.pixel(x, y)));
    EXPECT_NEAR(darkest, 128, 3);
}

TEST_F(TextStamp, ScaledShadowOffsetsAreKeptInTheRecord)
{
    TextStampOptions stamp = blackText(QStringLiteral("H"), 10);
    stamp.hasShadow = 1;
    stamp.shadowColor = Qt::gray;
    stamp.shadowOffsetX = 3;
    stamp.shadowOffsetY = -5;
    drawStamp(stamp, 1100, 275);
    EXPECT_EQ(stamp.shadowOffsetX, 6);
    EXPECT_EQ(stamp.shadowOffsetY, -10);
}

TEST_F(TextStamp, CharactersOutsideTheBasicPlaneAreDrawnWhole)
{
    const QString family = QStringLiteral("DejaVu Math TeX Gyre");
    if (!QFontDatabase::hasFamily(family))
        GTEST_SKIP() << "DejaVu Math TeX Gyre is not installed";
    const QString boldA = QString::fromUcs4(U"\U0001D400"); // two UTF-16 code units
    ASSERT_EQ(boldA.size(), 2);
    QFont font(family);
    font.setPixelSize(100);
    const QRawFont raw = QRawFont::fromFont(font);
    const QList<quint32> glyphs = raw.glyphIndexesForString(boldA);
    ASSERT_EQ(glyphs.size(), 1);
    ASSERT_NE(glyphs.first(), 0U);
    const QRectF expected = raw.pathForGlyph(glyphs.first()).boundingRect();

    TextStampOptions stamp = blackText(boldA, 100);
    stamp.font = font;
    const QRect ink = inkBox(drawStamp(stamp, 550, 550));
    EXPECT_NEAR(ink.width(), expected.width(), 3);
    EXPECT_NEAR(ink.height(), expected.height(), 3);
}

TEST_F(TextStamp, UnknownFontFallsBackToTheUsersFont)
{
    TextStampOptions stamp = blackText(QStringLiteral("H"), 40);
    stamp.font = QFont(QStringLiteral("No Such Family Anywhere"));
    const QString fallback = TextStampFamily(stamp.font.family());
    const QRect ink = inkBox(drawStamp(stamp, 550, 550));
    EXPECT_EQ(ink.isEmpty(), fallback.isEmpty());
}

TEST_F(TextStamp, BoldAndItalicFacesAreDrawnInTheirFace)
{
    TextStampOptions regular = blackText(QStringLiteral("HHHH"), 40);
    TextStampOptions bold = blackText(QStringLiteral("HHHH"), 40);
    bold.font.setBold(true);
    TextStampOptions italic = blackText(QStringLiteral("HHHH"), 40);
    italic.font.setItalic(true);
    const QImage plain = drawStamp(regular, 550, 550);
    const QImage heavy = drawStamp(bold, 550, 550);
    const QImage slanted = drawStamp(italic, 550, 550);
    const auto dark = [](QRgb pixel) { return qGray(pixel) < 128; };
    // Bold strokes are thicker: clearly more ink for the same letters.
    EXPECT_GT(countPixels(heavy, dark), countPixels(plain, dark) * 5 / 4);
    // An oblique H leans: its ink spreads wider than the upright one's at the same height.
    EXPECT_NE(inkBox(slanted).width(), inkBox(plain).width());
    EXPECT_NE(slanted, plain);
}

TEST_F(TextStamp, AShadowOfAnyBlurOrOffsetDrawsWithinIntegers)
{
    // A hostile record: blur and offsets far past any canvas. The stamp itself is still drawn.
    for (const std::int64_t huge : {std::int64_t{2000000000}, std::int64_t{1} << 40, std::numeric_limits<std::int64_t>::max() / 4}) {
        TextStampOptions stamp = blackText(QStringLiteral("H"), 40);
        stamp.hasShadow = 1;
        stamp.shadowColor = Qt::red;
        stamp.shadowBlur = huge;
        stamp.shadowOffsetX = huge;
        stamp.shadowOffsetY = -huge;
        const QImage drawn = drawStamp(stamp, 300, 200);
        EXPECT_FALSE(inkBox(drawn).isEmpty());
        EXPECT_LE(std::abs(stamp.shadowOffsetX), std::int64_t{1} << 21);
    }
}
