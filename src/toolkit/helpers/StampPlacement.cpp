#include "toolkit/helpers/StampPlacement.h"

#include "toolkit/converter/ImageConverter.h"

#include <algorithm>
#include <cmath>

namespace {

// One axis: the item from start to end in a reference span, onto a canvas span.
double placeOnAxis(double start, double end, double reference, double canvas, double itemScale)
{
    const double scale = canvas / reference;
    const double size = end - start;
    const double centreOffset = start + size / 2 - reference / 2;
    // The distances are compared in single precision, so that values that differ only in their last
    // bits count as a tie.
    const float toStart = static_cast<float>(std::fabs(start));
    const float toCentre = static_cast<float>(std::fabs(centreOffset));
    const float toEnd = static_cast<float>(std::fabs(reference - end));
    if (toStart < toCentre && toStart < toEnd)
        return start * scale;
    if (toCentre < toStart && toCentre < toEnd)
        return canvas / 2 + centreOffset * scale - (size / 2) * itemScale;
    if (toEnd < toStart && toEnd < toCentre)
        return canvas - (reference - end) * scale - size * itemScale;
    return 0;
}

} // namespace

QPointF PlaceStampItem(const StampItemBox& item, QSizeF reference, QSizeF canvas, QSizeF itemScale)
{
    return {placeOnAxis(item.x, item.right, reference.width(), canvas.width(), itemScale.width()),
            placeOnAxis(item.y, item.top, reference.height(), canvas.height(), itemScale.height())};
}

float StampCanvasScale(double canvasWidth, double canvasHeight)
{
    return static_cast<float>(std::max(canvasWidth, canvasHeight)) / 550.0f;
}

QPointF PlaceInCanvas(const ImageConverter& converter, double canvasWidth, double canvasHeight, float& scale,
                      const StampItemBox& item)
{
    scale = StampCanvasScale(canvasWidth, canvasHeight);
    const QSizeF reference(converter.m_textStamp.referenceWidth, converter.m_textStamp.referenceHeight);
    return PlaceStampItem(item, reference, QSizeF(canvasWidth, canvasHeight), QSizeF(scale, scale));
}
