#pragma once

#include "toolkit/imageio/ImageRep.h"

#include <QString>

#include <cstdint>

// Writes one extracted image as a file of the output type with Qt's image writers, until the
// toolkit's own image writer takes this over. The file is written under a temporary name and renamed
// into place only when whole; an existing file is kept unless replaceExisting is set. PDF output is a
// one-page PDF of the image at its resolution. False when the type cannot be written or writing fails.
bool WriteExtractedImageFile(const BitmapImageRep& image, std::uint32_t outputType, double quality,
                             const QString& path, bool replaceExisting);
