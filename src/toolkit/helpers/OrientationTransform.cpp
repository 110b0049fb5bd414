#include "toolkit/helpers/OrientationTransform.h"

QTransform OrientationMatrix(int index, double width, double height)
{
    const double w = width;
    const double h = height;
    switch (index) {
    case 1:
        return {-1, 0, 0, 1, w, 0};
    case 2:
        return {-1, 0, 0, -1, w, h};
    case 3:
        return {1, 0, 0, -1, 0, h};
    case 4:
        return {0, -1, -1, 0, h, w};
    case 5:
        return {0, -1, 1, 0, 0, w};
    case 6:
        return {0, 1, 1, 0, 0, 0};
    case 7:
        return {0, 1, -1, 0, h, 0};
    default:
        return {};
    }
}

int OrientationIndex(std::uint32_t flipFlags, long long angle)
{
    bool mirrorLeftRight = (flipFlags & 1U) != 0;
    bool mirrorTopBottom = (flipFlags & 2U) != 0;
    if (mirrorLeftRight && mirrorTopBottom) {
        // Both mirrors together are a half turn.
        angle += 180;
        if (angle >= 360)
            angle -= 360;
        mirrorLeftRight = false;
        mirrorTopBottom = false;
    } else if (angle == 180 || angle == -180) {
        if (mirrorLeftRight)
            return 3;
        if (mirrorTopBottom)
            return 1;
    }
    if (angle == 90 || angle == -270)
        return mirrorLeftRight ? 6 : mirrorTopBottom ? 4
                                                     : 7;
    if (angle == 180 || angle == -180)
        return 2;
    if (angle == 270 || angle == -90)
        return mirrorLeftRight ? 4 : mirrorTopBottom ? 6
                                                     : 5;
    return mirrorLeftRight ? 1 : mirrorTopBottom ? 3
                                                 : 0;
}

QTransform GetOrientationTransform(double width, double height, std::uint32_t flipFlags, long long angle)
{
    return OrientationMatrix(OrientationIndex(flipFlags, angle), width, height);
}

QTransform BitmapContextTransform(double height)
{
    return {1, 0, 0, -1, 0, height};
}
