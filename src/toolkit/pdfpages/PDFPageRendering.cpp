#include "toolkit/pdfpages/PDFPageRun.h"

#include "platform/MainThread.h"
#include "toolkit/converter/ImageConverter.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/helpers/UnitConversion.h"
#include "toolkit/imagewriter/CMYKConversion.h"
#include "toolkit/pdf/PDFContentStreams.h"
#include "toolkit/pdfimages/PDFImageBounds.h"
#include "toolkit/pdfpages/BoundedSplashOutputDev.h"
#include "toolkit/pdfpages/MultiPageTIFFFile.h"

#include <poppler/Object.h>
#include <poppler/PDFDoc.h>
#include <poppler/Page.h>
#include <poppler/splash/SplashBitmap.h>

#include <QFile>

#include <cmath>
#include <cstring>

namespace {

// The box the page is drawn from: the crop box, or the media box when the crop box is empty.
struct PageBox {
    double width = 0;
    double height = 0;
    bool useMediaBox = false;
};

bool IsEmpty(const PDFRectangle* box)
{
    return !box || box->x2 - box->x1 == 0 || box->y2 - box->y1 == 0;
}

std::optional<PageBox> BoxOf(Page& page)
{
    PageBox box;
    const PDFRectangle* rectangle = page.getCropBox();
    if (IsEmpty(rectangle)) {
        rectangle = page.getMediaBox();
        box.useMediaBox = true;
        if (IsEmpty(rectangle))
            return std::nullopt;
    }
    box.width = std::abs(rectangle->x2 - rectangle->x1);
    box.height = std::abs(rectangle->y2 - rectangle->y1);
    if ((page.getRotate() / 90) % 2 != 0)
        std::swap(box.width, box.height);
    return box;
}

// Lengths of the size record in points, or in pixels.
double ScaleFor(const PDFPageRun& run, const PageBox& box)
{
    if (!run.applySize)
        return run.pageScale;
    const ImageSizeOptions& size = run.size;
    double scale = 0;
    if (size.height == 0 && size.width > 0) {
        scale = size.width / box.width;
    } else if (size.width == 0 && size.height > 0) {
        scale = size.height / box.height;
    } else {
        scale = size.width / box.width;
        if (std::nearbyint(scale * box.height) > size.height)
            scale = size.height / box.height;
    }
    if (size.unit != LengthUnit::Pixels)
        scale *= run.pageScale;
    return scale;
}

void ReportPage(const ImageConverter& converter, long number)
{
    ConversionProgressDelegate* object = converter.m_progressObject;
    const auto selector = converter.m_progressSelector;
    if (!object || !selector)
        return;
    MainThread::runOnMainLater([object, selector, number] { (object->*selector)(number); });
}

bool IsCMYKOutput(const ImageConverter& converter)
{
    return converter.m_outputType == ImageType::CMYKTIFF || converter.m_colorModel == 2;
}

QImage ViewOf(const SplashBitmap& bitmap, bool gray)
{
    return QImage(bitmap.getDataPtr(), bitmap.getWidth(), bitmap.getHeight(), bitmap.getRowSize(),
                  gray ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
}

// The inks of a drawn page come from the conversion every other CMYK output takes, so that a page and
// a picture of it print alike.
QByteArray InksFromRGB(const SplashBitmap& bitmap)
{
    return RGBImageToCMYK(ViewOf(bitmap, false));
}

QImage ImageOf(const SplashBitmap& bitmap, bool gray)
{
    return ViewOf(bitmap, gray).copy();
}

bool WritePage(PDFPageRun& run, SplashBitmap& bitmap, bool gray, std::int64_t index, const QUrl& output,
               MultiPageTIFFFile* tiff)
{
    const ImageConverter& converter = run.converter;
    const bool cmyk = IsCMYKOutput(converter);
    const std::uint32_t type = converter.m_outputType;
    if (tiff || type == ImageType::CMYKTIFF || (cmyk && type == ImageType::TIFF)) {
        // TIFF pages in CMYK, and every page of a multi-page TIFF, go straight from the bitmap to libtiff.
        const QByteArray inks = cmyk ? InksFromRGB(bitmap) : QByteArray();
        const auto* pixels = cmyk ? reinterpret_cast<const unsigned char*>(inks.constData()) : bitmap.getDataPtr();
        const int rowBytes = cmyk ? bitmap.getWidth() * 4 : bitmap.getRowSize();
        const TIFFPageModel model = cmyk ? TIFFPageModel::CMYK : gray ? TIFFPageModel::Gray
                                                                      : TIFFPageModel::RGB;
        if (tiff)
            return WriteTIFFPage(converter.m_dpiX, converter.m_dpiY, tiff->handle(), bitmap.getWidth(),
                                 bitmap.getHeight(), pixels, rowBytes, model, int(index), int(run.pageCount));
        MultiPageTIFFFile single(output.toLocalFile(), converter.m_replaceExisting != 0);
        return single.isOpen()
               && WriteTIFFPage(converter.m_dpiX, converter.m_dpiY, single.handle(), bitmap.getWidth(),
                                bitmap.getHeight(), pixels, rowBytes, model, 0, 1)
               && single.commit();
    }
    BitmapImageRep::Description description;
    description.colorSpace = cmyk ? ColorSpaceModel::CMYK : gray ? ColorSpaceModel::Grey
                                                                 : ColorSpaceModel::RGB;
    description.dpiX = converter.m_dpiX;
    description.dpiY = converter.m_dpiY;
    // With inks beside the drawn pixels the writers that hold CMYK (JPEG, Photoshop) write them; the
    // others write the pixels.
    auto image = Image::fromBitmap(std::make_shared<BitmapImageRep>(ImageOf(bitmap, gray),
                                                                    cmyk ? InksFromRGB(bitmap) : QByteArray(), description));
    if (run.shouldStop())
        return false;
    return run.converter.WriteImage(image, output);
}

} // namespace

bool PDFPageRun::cancelled() const
{
    return converter.m_progressObject && converter.m_progressObject->isConversionCancelled();
}

void PDFPageRun::wrote(const QUrl& file)
{
    const std::lock_guard<std::mutex> lock(writtenLock);
    written.push_back(file);
}

void PDFPageRun::removeWritten()
{
    const std::lock_guard<std::mutex> lock(writtenLock);
    for (const QUrl& file : written)
        QFile::remove(file.toLocalFile());
    written.clear();
}

void RenderPDFPage(PDFPageRun& run, PDFDoc& document, std::int64_t page, std::int64_t index, const QUrl& output,
                   MultiPageTIFFFile* tiff)
{
    if (run.shouldStop())
        return;
    const ImageConverter& converter = run.converter;
    ReportPage(converter, long(converter.m_numberFromFirstPage ? page + converter.m_firstPage - 1 : page));
    Page* pdfPage = page >= 1 && page <= document.getNumPages() ? document.getPage(int(page)) : nullptr;
    if (!pdfPage) {
        run.fail();
        return;
    }
    const std::optional<PageBox> box = BoxOf(*pdfPage);
    if (!box)
        return;
    // A few kilobytes can inflate without end: such a page is told and skipped, the others still drawn.
    if (!PDFPageContentFits(*pdfPage, kMaxPDFPageContentBytes)) {
        ++run.pagesOverLimit;
        qWarning("Page %lld: its content cannot be read within the limits; it was not rendered",
                 static_cast<long long>(page));
        return;
    }
    const double scale = ScaleFor(run, *box);
    const int width = int(std::nearbyint(scale * box->width));
    const int height = int(std::nearbyint(scale * box->height));
    if (width < 1 || height < 1 || qint64(width) * height > (qint64(1) << 28)) {
        run.fail();
        return;
    }
    const bool gray = converter.m_colorModel == 3 && !IsCMYKOutput(converter);
    SplashColor paper;
    paper[0] = paper[1] = paper[2] = 255;
    BoundedSplashOutputDev device(gray ? splashModeMono8 : splashModeRGB8, 4, false, paper);
    device.setFontAntialias(true);
    device.setVectorAntialias(true);
    device.startDoc(&document);
    if (run.shouldStop())
        return;
    document.displayPageSlice(&device, int(page), 72.0 * scale, 72.0 * scale, 0, box->useMediaBox, true, false, 0, 0,
                              width, height);
    // A page without one of its images would pass for the page: it is told and skipped like one whose
    // content cannot be read.
    if (device.leftOutAnImage()) {
        ++run.pagesOverLimit;
        qWarning("Page %lld was not rendered: it draws an image over the size limit for images inside PDFs (%s)",
                 static_cast<long long>(page), kPDFDrawnImageBoundText);
        return;
    }
    SplashBitmap* bitmap = device.getBitmap();
    if (!bitmap || bitmap->getWidth() < 1 || bitmap->getHeight() < 1) {
        run.fail();
        return;
    }
    if (run.shouldStop())
        return;
    if (!WritePage(run, *bitmap, gray, index, output, tiff))
        run.fail();
    else if (!tiff)
        run.wrote(output);
}
