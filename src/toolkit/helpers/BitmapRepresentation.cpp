#include "toolkit/helpers/BitmapRepresentation.h"

std::shared_ptr<BitmapImageRep> GetBitmapRepresentation(const Image& image)
{
    for (const auto& representation : image.representations()) {
        if (auto bitmap = std::dynamic_pointer_cast<BitmapImageRep>(representation))
            return bitmap;
    }
    return image.makeBitmapRepresentation();
}
