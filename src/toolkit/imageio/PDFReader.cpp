#include "toolkit/imageio/ImageReaders.h"

ImageRepList ReadPDFRepresentations(const QByteArray& bytes)
{
    auto representation = PDFImageRep::fromData(bytes);
    if (!representation)
        return {};
    return {std::move(representation)};
}
