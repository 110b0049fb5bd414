#pragma once

#include <QByteArray>
#include <QImage>

// CMYK samples as the image layer keeps them: four 8-bit inks a pixel, 0 for no ink. Pixels for drawing
// are made from them with the plain formula (ink covers light; black darkens the rest); colour-managed
// conversion is the writers' business.
inline QRgb CMYKToRGB(int cyan, int magenta, int yellow, int black)
{
    const int light = 255 - black;
    return qRgb((255 - cyan) * light / 255, (255 - magenta) * light / 255, (255 - yellow) * light / 255);
}

// An RGB32 image of the inks; null when the sizes do not match.
QImage RGBImageFromCMYK(const QByteArray& inks, int width, int height);
