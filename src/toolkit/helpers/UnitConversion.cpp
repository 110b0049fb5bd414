#include "toolkit/helpers/UnitConversion.h"

double UnitToPoints(std::uint32_t unit, double value)
{
    double inches = value;
    if (unit == LengthUnit::Millimetres)
        inches = value / 25.4;
    else if (unit == LengthUnit::Centimetres)
        inches = value / 2.54;
    return inches * 72.0;
}

double PointsToInches(std::uint32_t unit, double value)
{
    // The factors are the single-precision values of 1/25.4 and 1/2.54.
    if (unit == LengthUnit::Millimetres)
        return value * 0.03937007859349251;
    if (unit == LengthUnit::Centimetres)
        return value * 0.3937007784843445;
    return value / 72.0;
}
