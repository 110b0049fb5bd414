#pragma once

#include <QImage>

// The sharpening of the size road: an unsharp mask on the luminance alone, so colours keep their hue.
// Each pixel's luminance moves away from a Gaussian blur of it (sigma `radius` pixels) by `amount` times
// the difference; the change is added equally to the red, green and blue samples. The image is changed
// in place (converted to ARGB32 premultiplied or RGB32 when it is in another format).
inline constexpr double kSharpenRadius = 1.69;
inline constexpr double kSharpenAmount = 0.25;
void SharpenLuminance(QImage& image, double radius = kSharpenRadius, double amount = kSharpenAmount);
