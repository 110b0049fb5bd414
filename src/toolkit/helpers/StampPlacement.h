#pragma once

#include <QPointF>
#include <QSizeF>

class ImageConverter;

// A stamp item (text or overlay image) as the user placed it on the preview: its lower-left corner at
// (x, y), its far corner at (right, top), in a reference space of the preview's size.
struct StampItemBox {
    double x = 0;
    double y = 0;
    double right = 0;
    double top = 0;
};

// The item's origin on a canvas, keeping its distance to the nearest of the left edge, the centre and the
// right edge (and likewise vertically) at the canvas's scale; the item's own size is scaled by itemScale.
// When no distance is strictly the smallest the origin on that axis is 0.
QPointF PlaceStampItem(const StampItemBox& item, QSizeF reference, QSizeF canvas, QSizeF itemScale);

// Places the item on the canvas with the converter's reference size, scaling its size by the canvas's
// longer side over 550 (written to scale).
QPointF PlaceInCanvas(const ImageConverter& converter, double canvasWidth, double canvasHeight, float& scale,
                      const StampItemBox& item);

// The scale from the 550-point preview to a canvas: its longer side over 550, in single precision.
float StampCanvasScale(double canvasWidth, double canvasHeight);
