// The entry points over a PDF source or towards a PDF: pages to images, the images inside a PDF, and
// image files laid out on PDF pages. Each converter lives on the entry point's stack, so it is
// destroyed on every exit and takes its temporary files with it.

#include "toolkit/Toolkit.h"

#include "toolkit/converter/ImageConverter.h"
#include "toolkit/entry/NativeFileNames.h"
#include "toolkit/imagestopdf/ImageToPDFConverter.h"
#include "toolkit/pdfimages/PDFImageExtractor.h"
#include "toolkit/pdfpages/PDFPageRenderer.h"

namespace {

bool HasSourceAndDestination(const ImageConversionOptions* options)
{
    return options && !options->sourceURL.isEmpty() && !options->destinationURL.isEmpty();
}

// An encrypted document opens only with its password; one that every reader opens needs none.
bool Unlocked(ImageConverter& converter)
{
    return !converter.IsPDFEncrypted() || converter.UnlockPDF();
}

// The settings both PDF-source roads take from the record.
void SetNamingAndOutput(ImageConverter& converter, const ImageConversionOptions& options)
{
    converter.SetOutputNaming(options.baseName, options.numberFromFirstPage, options.replaceExisting);
    converter.SetProgressCallback(options.progress.object, options.progress.selector);
    converter.SetOutputInfo(options.outputType, options.destinationURL, options.quality);
}

} // namespace

bool ConvertPDFToImages(const ImageConversionOptions* options)
{
    if (!HasSourceAndDestination(options))
        return false;
    NativeFileNames names;
    ImageConversionOptions named = *options;
    named.destinationURL = names.destinationFolder(options->destinationURL);
    ImageConverter converter;
    converter.SetPassword(options->password);
    if (!converter.OpenPDFDocument(names.source(options->sourceURL)) || !Unlocked(converter))
        return false;
    SetNamingAndOutput(converter, named);
    converter.SetPageRange(options->firstPage, options->lastPage, options->pageMode);
    const long long dpi = options->dpi > 0 ? options->dpi : 0;
    converter.SetResolution(dpi, dpi);
    converter.SetColorModel(options->colorModel);
    converter.SetConcurrent(options->concurrent);
    return RenderPDFPages(converter, options->applySizeToPages != 0, options->size);
}

bool ExtractImagesFromPDF(const ImageConversionOptions* options)
{
    if (!HasSourceAndDestination(options))
        return false;
    NativeFileNames names;
    ImageConversionOptions named = *options;
    named.destinationURL = names.destinationFolder(options->destinationURL);
    PDFImageExtractor extractor;
    extractor.SetPassword(options->password);
    if (!extractor.OpenSourcePDF(names.source(options->sourceURL)) || !Unlocked(extractor))
        return false;
    SetNamingAndOutput(extractor, named);
    extractor.SetPageRange(options->firstPage, options->lastPage, options->pageMode);
    // Images left out over the bounds were told on the warning channel; the run is no success then,
    // as a page run with a page left out is none.
    return extractor.ExtractImages() && extractor.m_imagesOverLimit == 0 && extractor.m_pagesOverLimit == 0;
}

bool ConvertImagesToPDF(const ImagesToPDFConversionOptions* options)
{
    if (!options)
        return false;
    NativeFileNames names;
    ImagesToPDFConversionOptions named = *options;
    named.items = names.sources(options->items);
    named.destinationURL = options->mergeIntoOne ? names.destinationFile(options->destinationURL)
                                                 : names.destinationFolder(options->destinationURL);
    ImageToPDFConverter converter;
    converter.SetOptions(named);
    converter.SetListProgressCallback(options->progress.object, options->progress.selector);
    return options->mergeIntoOne ? converter.ConvertToSinglePDF() : converter.ConvertToSeparatePDFs();
}
