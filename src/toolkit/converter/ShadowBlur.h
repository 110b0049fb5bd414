#pragma once

#include <QImage>

// Softens a premultiplied ARGB image in place with three box blurs of the given radius across and down
// (close to a Gaussian of about radius in spread). A radius below 1 leaves it as it is.
void BlurPremultipliedImage(QImage& image, int radius);
