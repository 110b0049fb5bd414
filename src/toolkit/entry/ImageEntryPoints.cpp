// The entry points whose converter is an ImageConverter. Each converter lives on the entry point's stack,
// so it is destroyed on every exit, an exception's included, and takes its temporary files with it.

#include "toolkit/Toolkit.h"

#include "toolkit/converter/ImageConverter.h"
#include "toolkit/entry/NativeFileNames.h"

namespace {

void CopyFileAttributes(ImageConverter& converter, const ImageConversionOptions& options)
{
    if (!options.fileAttributes.isEmpty())
        converter.m_fileAttributes = options.fileAttributes;
}

} // namespace

bool ConvertImage(const ImageConversionOptions* options)
{
    if (!options || options->sourceURL.isEmpty() || options->destinationURL.isEmpty())
        return false;
    NativeFileNames names;
    ImageConverter converter;
    if (!converter.LoadSourceImage(names.source(options->sourceURL)))
        return false;
    converter.SetOutputInfo(options->outputType, names.destinationFile(options->destinationURL), options->quality);
    // A resolution below 1 cannot be written into a file: such a value keeps each image's own, as 0 does.
    const long long dpi = options->dpi > 0 ? options->dpi : 0;
    converter.SetResolution(dpi, dpi);
    if (dpi == 0)
        converter.SetUsePixelSize(1);
    converter.m_keepMetadata = options->keepMetadata;
    CopyFileAttributes(converter, *options);
    return converter.WriteAllRepresentations();
}

bool ConvertImageWithOptions(ImageConversionOptions* options)
{
    if (!options || options->sourceURL.isEmpty())
        return false;
    if (options->destinationURL.isEmpty() && !options->keepImageInMemory)
        return false;
    NativeFileNames names;
    ImageConverter converter;
    if (!converter.LoadSourceImage(names.source(options->sourceURL)))
        return false;
    const QUrl destination = options->destinationURL.isEmpty() ? QUrl() : names.destinationFile(options->destinationURL);
    converter.SetOutputInfo(options->outputType, destination, options->quality);
    if (options->addTextStamp)
        converter.SetStampOptions(options->stamp, true);
    if (options->addOverlay)
        converter.SetStampOptions(options->stamp, false);
    converter.m_rotation = options->rotation;
    converter.m_flip = options->flip;
    converter.m_keepMetadata = options->keepMetadata;
    converter.m_keepImage = options->keepImageInMemory;
    CopyFileAttributes(converter, *options);
    const bool result = converter.ConvertWithSize(options->size);
    if (result && options->keepImageInMemory && converter.m_resultImage)
        options->resultImage = converter.m_resultImage;
    return result;
}
