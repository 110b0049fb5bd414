#pragma once

#include "toolkit/imageio/ImageRep.h"

#include <QByteArray>
#include <QImage>

#include <memory>
#include <optional>
#include <vector>

// Alpha for a colour-keyed image: a pixel whose every component lies within its (min, max) pair of
// the Mask array is transparent. The samples are those of the stream (bits wide, rows starting on a
// byte); none when the ranges do not cover every component or the samples do not fill the image.
std::optional<QImage> ColorKeyAlpha(const QByteArray& samples, int bits, int components, int width, int height,
                                    const std::vector<double>& ranges);

// How the gray of a mask image becomes alpha: a stencil /Mask paints where its decoded sample is 0
// (black), a soft mask's gray is the alpha itself.
enum class MaskMeaning {
    Stencil,
    SoftMask
};

// The mask's alpha at the image's size (a mask of another size is scaled onto the image).
QImage MaskAlpha(const BitmapImageRep& mask, MaskMeaning meaning, QSize size);

// The image with the alpha (Grayscale8, the image's size) as straight alpha.
std::shared_ptr<BitmapImageRep> ImageWithAlpha(const BitmapImageRep& image, const QImage& alpha);
