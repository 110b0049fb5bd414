#include "toolkit/helpers/ColorConversion.h"

std::optional<QColor> ColorToCGColor(const QColor& color)
{
    if (!color.isValid())
        return std::nullopt;
    switch (color.spec()) {
    case QColor::Rgb:
    case QColor::ExtendedRgb:
    case QColor::Cmyk:
        return color;
    default:
        return color.toRgb();
    }
}
