#pragma once

#include <cstdint>

// Length unit codes of the size records: 1 percent, 2 pixels, 4 centimetres, 5 millimetres, 6 points;
// every other code is inches.
namespace LengthUnit {
enum : std::uint32_t {
    Percent = 1,
    Pixels = 2,
    Centimetres = 4,
    Millimetres = 5,
    Points = 6
};
} // namespace LengthUnit

// A length in millimetres, centimetres or (any other unit) inches, in points.
double UnitToPoints(std::uint32_t unit, double value);

// A length in millimetres or centimetres, or (any other unit) points, in inches.
double PointsToInches(std::uint32_t unit, double value);
