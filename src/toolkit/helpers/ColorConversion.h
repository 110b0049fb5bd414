#pragma once

#include <QColor>

#include <optional>

// The colour as the drawing code takes it: RGB and CMYK colours keep their own space; colours given in
// another model (HSV, HSL) become RGB with their alpha. An invalid colour is no colour.
std::optional<QColor> ColorToCGColor(const QColor& color);
