#pragma once

#include "toolkit/options/TextStampOptions.h"

#include <memory>

class Image;

// The text stamp followed by the overlay image. The overlay's rectangle is in the text stamp's reference
// space, whose size (referenceWidth, referenceHeight) serves both.
struct StampOptions : TextStampOptions {
    double overlayX = 0;
    double overlayY = 0;
    double overlayRight = 0;
    double overlayTop = 0;
    std::shared_ptr<const Image> overlayImage;
    double overlayAlpha = 0;
    double overlayScale = 0;
};
