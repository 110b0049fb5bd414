#pragma once

#include <QFont>
#include <QPainterPath>
#include <QString>

#include <optional>

class ImageConverter;
class QPainter;
struct TextStampOptions;

// The painter is a bitmap context as the renderer sets it up: its coordinates are pixels with the origin
// at the lower-left corner and y upwards (BitmapContextTransform), over a device whose y runs down.

// Draws the stamp on a canvas of the given pixel size: placed with the converter's reference size, and
// its font size, stroke width, spacing, shadow blur and offsets scaled by the canvas's longer side over
// 550. The record keeps the placed origin and the scaled shadow offsets afterwards. Nothing is drawn when
// neither the stamp's font nor the user's default font can be had.
void DrawTextStamp(const ImageConverter& converter, QPainter& context, TextStampOptions& stamp, double canvasWidth,
                   double canvasHeight);

// Draws the converter's own stamp.
void DrawConverterTextStamp(ImageConverter& converter, QPainter& context, double canvasWidth, double canvasHeight);

// The outline of the text as one line at the given pixel size and extra character spacing, its origin on
// the baseline's start and y upwards. Characters outside the Basic Multilingual Plane are shaped whole.
// Empty when the font family is not installed.
QPainterPath TextStampOutline(const QString& text, const QString& family, double pixelSize, double characterSpacing);

// The same in the given face: its family with its weight, slant and style name, so that a bold or italic
// stamp is drawn bold or italic. The face's own size is not used.
QPainterPath TextStampOutline(const QString& text, const QFont& face, double pixelSize, double characterSpacing);

// The face the stamp is drawn with: the record's font as named (family and style) when its family is
// installed, else the user's default font; none when neither is.
std::optional<QFont> TextStampFace(const QFont& requested);

// The family the stamp is drawn with: the named one when installed, else the user's default font; empty
// when neither is.
QString TextStampFamily(const QString& requested);
