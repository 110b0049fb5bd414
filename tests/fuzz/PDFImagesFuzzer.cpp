// A whole PDF through the image extractor: the resource walk, forms, inline images and the decoder
// with its masks. The output folder does not exist, so decoded images are never written.

#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/pdfimages/PDFImageExtractor.h"

#include <QTemporaryFile>

#include <Error.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setErrorCallback([](ErrorCategory, Goffset, const char*) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QTemporaryFile file;
    if (!file.open())
        return 0;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.flush();
    PDFImageExtractor extractor;
    if (!extractor.OpenSourcePDF(QUrl::fromLocalFile(file.fileName())))
        return 0;
    // GIF keeps alpha, so masks are decoded too.
    extractor.SetOutputInfo(ImageType::GIF, QUrl::fromLocalFile("/nonexistent/tomefold-fuzz"), 0.5);
    extractor.SetPageSelection(2, 1, 4);
    extractor.ExtractImages();
    return 0;
}
