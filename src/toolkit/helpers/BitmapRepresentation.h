#pragma once

#include "toolkit/imageio/Image.h"

#include <memory>

// The image's first representation that is a bitmap; when it has none, a bitmap of the whole image drawn
// at its point size (a PDF page at 72 dots per inch). None when nothing can be drawn.
std::shared_ptr<BitmapImageRep> GetBitmapRepresentation(const Image& image);
