#pragma once

#include "toolkit/imageio/Image.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <cstdint>

// Every representation of an image file, classified by its content and name: the pages of a TIFF or a
// PDF, the sizes of an icon, the frames of a GIF, each with its pixel size, point size, alpha, colour
// space and metadata. Nothing for a file of a format this system does not read (WebP included: it goes
// through the codec glue), nor for one that fails to decode.
ImageRepList ReadImageRepresentations(const QUrl& url);

// The image type code of a picture's bytes: the content decides, the file name (may be empty) only
// breaks ties. PDF is 8; 0 when neither says anything this system knows.
std::uint32_t ImageTypeOfBytes(const QByteArray& bytes, const QString& fileName = {});

// The representations of a picture's bytes, of the type its content (then its name) gives.
ImageRepList ReadImageBytes(const QByteArray& bytes, const QString& fileName = {});

// The representations of bytes of the given image type code (PDF = 8).
ImageRepList ReadImageData(const QByteArray& bytes, std::uint32_t imageType);
