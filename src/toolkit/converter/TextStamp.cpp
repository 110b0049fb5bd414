#include "toolkit/converter/TextStamp.h"

#include "toolkit/codec/ImageLimits.h"
#include "toolkit/converter/ImageConverter.h"
#include "toolkit/converter/ShadowBlur.h"
#include "toolkit/helpers/ColorConversion.h"
#include "toolkit/helpers/StampPlacement.h"
#include "toolkit/options/TextStampOptions.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

namespace {

// Outlines are made at a large size and scaled down: sizes need not be whole pixels, and no hinting
// bends the glyphs of a small stamp.
constexpr double kOutlinePixelSize = 1000.0;

// Text drawing modes of a bitmap context: fill, stroke, fill and stroke, invisible, and the same four
// again adding the text to the clip (which ends with the stamp's drawing).
bool modeFills(std::uint32_t mode)
{
    return mode == 0 || mode == 2 || mode == 4 || mode == 6;
}

bool modeStrokes(std::uint32_t mode)
{
    return mode == 1 || mode == 2 || mode == 5 || mode == 6;
}

QColor usableColour(const QColor& colour)
{
    return ColorToCGColor(colour).value_or(QColor(Qt::black));
}

// A shadow blurred or moved past this many pixels lands on nothing a bitmap can hold; the bound keeps
// the pixel arithmetic of a hostile record within integers.
constexpr double kMaxShadowPixels = 1 << 20;

double boundedShadow(double value)
{
    return std::isnan(value) ? 0.0 : std::clamp(value, -kMaxShadowPixels, kMaxShadowPixels);
}

// The shadow: the stamp's shape in the shadow's colour, blurred, moved by the offset in the context's
// base space (y upwards, so a positive vertical offset moves it up the picture).
void drawShadow(QPainter& context, const QPainterPath& shape, const QColor& colour, double blur, std::int64_t offsetX,
                std::int64_t offsetY)
{
    const QPainterPath onDevice = context.combinedTransform().map(shape);
    const int margin = static_cast<int>(std::ceil(std::clamp(blur, 0.0, kMaxShadowPixels))) * 2 + 2;
    QRect box = onDevice.boundingRect().toAlignedRect().adjusted(-margin, -margin, margin, margin);
    if (context.device()) {
        // Only the part that can land on the device is drawn.
        const QRect device(0, 0, context.device()->width(), context.device()->height());
        box &= device.translated(static_cast<int>(-offsetX), static_cast<int>(offsetY)).adjusted(-margin, -margin, margin, margin);
    }
    if (box.isEmpty() || !FitsDecodedImageLimit(static_cast<std::uint64_t>(box.width()), static_cast<std::uint64_t>(box.height()), 4))
        return;
    QImage layer(box.size(), QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull())
        return;
    layer.fill(Qt::transparent);
    {
        QPainter painter(&layer);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(-box.topLeft());
        painter.fillPath(onDevice, colour);
    }
    BlurPremultipliedImage(layer, static_cast<int>(std::lround(std::clamp(blur, 0.0, kMaxShadowPixels) / 2)));
    context.save();
    context.resetTransform();
    context.drawImage(box.topLeft() + QPoint(static_cast<int>(offsetX), static_cast<int>(-offsetY)), layer);
    context.restore();
}

} // namespace

QString TextStampFamily(const QString& requested)
{
    if (!requested.isEmpty() && QFontDatabase::hasFamily(requested))
        return requested;
    const QString fallback = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    if (!fallback.isEmpty() && QFontDatabase::hasFamily(fallback))
        return fallback;
    return {};
}

std::optional<QFont> TextStampFace(const QFont& requested)
{
    if (!requested.family().isEmpty() && QFontDatabase::hasFamily(requested.family()))
        return requested;
    const QString fallback = TextStampFamily({});
    if (fallback.isEmpty())
        return std::nullopt;
    return QFont(fallback);
}

QPainterPath TextStampOutline(const QString& text, const QString& family, double pixelSize, double characterSpacing)
{
    if (family.isEmpty())
        return {};
    return TextStampOutline(text, QFont(family), pixelSize, characterSpacing);
}

QPainterPath TextStampOutline(const QString& text, const QFont& face, double pixelSize, double characterSpacing)
{
    if (text.isEmpty() || face.family().isEmpty() || !(pixelSize > 0))
        return {};
    const double scale = pixelSize / kOutlinePixelSize;
    QFont font(face);
    font.setPixelSize(static_cast<int>(kOutlinePixelSize));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setLetterSpacing(QFont::AbsoluteSpacing, characterSpacing / scale);
    // The whole string is shaped at once: a character outside the Basic Multilingual Plane (two UTF-16
    // code units) is one glyph, never two halves.
    QPainterPath outline;
    outline.addText(0, 0, font, text);
    QPainterPath placed = QTransform::fromScale(scale, -scale).map(outline);
    placed.setFillRule(Qt::WindingFill);
    return placed;
}

void DrawTextStamp(const ImageConverter& converter, QPainter& context, TextStampOptions& stamp, double canvasWidth,
                   double canvasHeight)
{
    const float scale = StampCanvasScale(canvasWidth, canvasHeight);
    const QSizeF reference(converter.m_textStamp.referenceWidth, converter.m_textStamp.referenceHeight);
    const QPointF origin = PlaceStampItem({stamp.x, stamp.y, stamp.right, stamp.top}, reference,
                                          QSizeF(canvasWidth, canvasHeight), QSizeF(scale, scale));
    stamp.x = origin.x();
    stamp.y = origin.y();
    const double fontSize = static_cast<double>(stamp.fontSize) * scale;
    const double strokeWidth = static_cast<double>(stamp.strokeWidth) * scale;
    const double blur = static_cast<double>(stamp.shadowBlur) * scale;
    const double spacing = stamp.characterSpacing * scale;
    stamp.shadowOffsetX = static_cast<std::int64_t>(boundedShadow(static_cast<double>(stamp.shadowOffsetX) * scale));
    stamp.shadowOffsetY = static_cast<std::int64_t>(boundedShadow(static_cast<double>(stamp.shadowOffsetY) * scale));

    const std::optional<QFont> face = TextStampFace(stamp.font);
    if (!face)
        return;
    QTransform placement;
    placement.translate(stamp.x, stamp.y);
    placement.rotateRadians(static_cast<double>(static_cast<float>(stamp.angle) * 0.017453292f));
    const QPainterPath text = placement.map(TextStampOutline(stamp.text, *face, fontSize, spacing));
    if (text.isEmpty())
        return;

    const bool fills = modeFills(stamp.drawingMode);
    const bool strokes = modeStrokes(stamp.drawingMode);
    const QPen pen(usableColour(stamp.color), strokeWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    QPainterPath shape;
    if (fills)
        shape = text;
    if (strokes) {
        QPainterPathStroker stroker(pen);
        shape = shape.united(stroker.createStroke(text));
    }

    context.save();
    context.setRenderHint(QPainter::Antialiasing);
    context.setOpacity(std::clamp(stamp.alpha, 0.0, 1.0));
    if (stamp.hasShadow && !shape.isEmpty())
        drawShadow(context, shape, usableColour(stamp.shadowColor), blur, stamp.shadowOffsetX, stamp.shadowOffsetY);
    // Outside fill mode the fill colour is not the stamp's: it stays the context's own black.
    if (fills)
        context.fillPath(text, stamp.drawingMode == 0 ? usableColour(stamp.color) : QColor(Qt::black));
    if (strokes)
        context.strokePath(text, pen);
    context.restore();
}

void DrawConverterTextStamp(ImageConverter& converter, QPainter& context, double canvasWidth, double canvasHeight)
{
    DrawTextStamp(converter, context, converter.m_textStamp, canvasWidth, canvasHeight);
}
