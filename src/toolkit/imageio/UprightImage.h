#pragma once

#include "toolkit/imageio/ImageRep.h"

#include <memory>

// The bitmap turned as its orientation (1 to 8, as Exif counts) says it is shown, with orientation 1:
// pixels, CMYK inks and the two resolutions. The bitmap itself when it is upright already or gives no
// orientation.
std::shared_ptr<BitmapImageRep> UprightBitmap(const std::shared_ptr<BitmapImageRep>& bitmap);
