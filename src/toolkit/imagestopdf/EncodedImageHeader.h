#pragma once

#include "toolkit/imagewriter/PDFImageDocument.h"

#include <QByteArray>

// The size and colour layout of JPEG and JPEG 2000 bytes, read from their headers alone so that a page
// can embed the bytes without decoding them. False for other data or a header that gives no size.
bool ReadEncodedImageHeader(const QByteArray& bytes, PDFEncodedImage& image);
