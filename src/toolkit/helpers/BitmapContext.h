#pragma once

#include <QImage>
#include <QRectF>

class QPainter;

// Drawing in a bitmap context as the toolkit's geometry expects it: the painter's coordinates have their
// origin at the lower-left corner and y upwards (see BitmapContextTransform), and an image drawn into a
// rectangle shows upright, its first row along the rectangle's top edge.
void DrawImageUpright(QPainter& context, const QImage& image, const QRectF& rect);
