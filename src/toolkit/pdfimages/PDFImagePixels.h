#pragma once

#include "toolkit/imageio/ImageRep.h"
#include "toolkit/pdf/PDFColorSpace.h"

#include <QByteArray>

#include <memory>

// A bitmap from packed 8-bit samples in a gray, RGB, CMYK, calibrated, ICC or Lab space. Calibrated
// and ICC spaces keep their samples and carry their profile; Lab samples become RGB. None when the
// samples do not fill the image or the space is one samples cannot be shown in (Indexed).
std::shared_ptr<BitmapImageRep> MakeBitmapFromSamples(const QByteArray& samples, int width, int height,
                                                      const PDFColorSpace& colorSpace);
