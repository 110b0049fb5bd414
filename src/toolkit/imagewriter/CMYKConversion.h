#pragma once

#include <QByteArray>
#include <QImage>

// Where Debian's ghostscript packages put their default CMYK press profile.
inline constexpr const char* kDefaultCMYKProfilePath = "/usr/share/color/icc/ghostscript/default_cmyk.icc";

// The inks (four bytes a pixel, 0 = no ink) of an image's colours, alpha ignored: through lcms2 from sRGB
// to the profile at the path when it can be read, otherwise by the plain formula (K = 1 - max(R, G, B)).
QByteArray RGBImageToCMYK(const QImage& image, const char* profilePath = kDefaultCMYKProfilePath);
