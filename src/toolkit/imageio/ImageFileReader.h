#pragma once

#include "toolkit/imageio/Image.h"

#include <QByteArray>
#include <QUrl>

#include <cstdint>

// Every representation of an image file, classified by its content and name: the pages of a TIFF or a
// PDF, the sizes of an icon, the frames of a GIF, each with its pixel size, point size, alpha, colour
// space and metadata. Nothing for a file of a format this system does not read (WebP included: it goes
// through the codec glue), nor for one that fails to decode.
ImageRepList ReadImageRepresentations(const QUrl& url);

// The representations of bytes of the given image type code (PDF = 8).
ImageRepList ReadImageData(const QByteArray& bytes, std::uint32_t imageType);
