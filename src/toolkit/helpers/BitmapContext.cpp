#include "toolkit/helpers/BitmapContext.h"

#include <QPainter>

void DrawImageUpright(QPainter& context, const QImage& image, const QRectF& rect)
{
    context.save();
    context.translate(rect.x(), rect.y() + rect.height());
    context.scale(1, -1);
    context.drawImage(QRectF(0, 0, rect.width(), rect.height()), image);
    context.restore();
}
