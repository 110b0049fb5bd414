#pragma once

#include <QByteArray>
#include <QImage>

// Decodes a picture embedded in a document. Pictures larger than the readers' limits, and bytes
// that are no picture Qt can read, give a null image.
QImage DecodeEmbeddedImage(const QByteArray& bytes);
