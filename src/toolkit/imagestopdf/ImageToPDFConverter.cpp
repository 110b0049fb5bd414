#include "toolkit/imagestopdf/ImageToPDFConverter.h"

#include "toolkit/helpers/UnitConversion.h"
#include "toolkit/options/ImagesToPDFConversionOptions.h"

#include <QMetaType>

#include <algorithm>

namespace {

// Angles come from list dictionaries; only a number sets one, and one beyond a three-quarter turn
// either way counts as none.
bool AngleFromNumber(const QVariant& angle, std::int64_t& out)
{
    switch (angle.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        break;
    default:
        return false;
    }
    const double value = angle.toDouble();
    out = value >= -270.0 && value <= 270.0 ? static_cast<std::int64_t>(value) : 0;
    return true;
}

} // namespace

ImageToPDFConverter::ImageToPDFConverter() = default;

ImageToPDFConverter::~ImageToPDFConverter() = default;

void ImageToPDFConverter::SetOptions(const ImagesToPDFConversionOptions& options)
{
    m_keepWidth = options.keepWidth;
    m_keepHeight = options.keepHeight;
    m_pageImageQuality = options.quality;
    m_pageImageType = options.outputType;
    m_pageImageColorModel = options.colorModel;
    m_layoutMode = options.pageMode;
    m_maxDPI = options.maxDPI;
    m_paperWidth = options.pageWidth;
    m_paperHeight = options.pageHeight;
    m_leftMargin = options.leftMargin;
    m_rightMargin = options.rightMargin;
    m_topMargin = options.topMargin;
    m_bottomMargin = options.bottomMargin;
    m_paperOrientation = options.orientation;
    m_scalePercent = options.scalePercent;
    m_items = options.items;
    m_destinationURL = options.destinationURL;
    m_pdfWriteOptions = options.pdfWriteOptions;
}

void ImageToPDFConverter::SetConversionParameters(std::uint64_t orientation, std::uint8_t keepWidth,
                                                  std::uint8_t keepHeight, std::uint32_t outputType,
                                                  std::uint32_t colorModel, std::uint32_t pageMode,
                                                  std::int64_t scalePercent, std::int64_t maxDPI,
                                                  const QVariantMap& writeOptions, double paperWidth,
                                                  double paperHeight, double leftMargin, double rightMargin,
                                                  double topMargin, double bottomMargin, double quality)
{
    m_paperOrientation = orientation;
    m_keepWidth = keepWidth;
    m_keepHeight = keepHeight;
    m_pageImageType = outputType;
    m_pageImageColorModel = colorModel;
    m_layoutMode = pageMode;
    m_scalePercent = scalePercent;
    m_maxDPI = maxDPI;
    m_pdfWriteOptions = writeOptions;
    m_paperWidth = paperWidth > 0 ? static_cast<std::uint64_t>(paperWidth) : 0;
    m_paperHeight = paperHeight > 0 ? static_cast<std::uint64_t>(paperHeight) : 0;
    m_leftMargin = leftMargin;
    m_rightMargin = rightMargin;
    m_topMargin = topMargin;
    m_bottomMargin = bottomMargin;
    m_pageImageQuality = quality;
}

void ImageToPDFConverter::SetListProgressCallback(ConversionProgressDelegate* object,
                                                  ProgressCallbackInfo::Selector selector)
{
    m_listProgress.object = object;
    m_listProgress.selector = selector;
}

QRectF ImageToPDFConverter::PaperRect() const
{
    if (m_layoutMode == 0)
        return {};
    const double width = static_cast<double>(m_paperWidth);
    const double height = static_cast<double>(m_paperHeight);
    return m_paperOrientation == 1 ? QRectF(0, 0, height, width) : QRectF(0, 0, width, height);
}

double ImageToPDFConverter::ContentWidth() const
{
    return PaperRect().width() - m_leftMargin - m_rightMargin;
}

double ImageToPDFConverter::ContentHeight() const
{
    return PaperRect().height() - m_topMargin - m_bottomMargin;
}

bool ImageToPDFConverter::AddImageFileToDocument(const QUrl& file, PdfDocument& document, long long& insertIndex,
                                                 const QVariant& angle)
{
    m_insertIndex = insertIndex;
    m_document = &document;
    m_pageAdded = 0;
    AngleFromNumber(angle, m_angle);
    const PDFPages pdf = addPDFPages(file, document);
    if (pdf == PDFPages::Added) {
        m_pageAdded = 1;
    } else if (pdf == PDFPages::NotTaken && !file.isEmpty()) {
        ImageConverter converter;
        if (converter.LoadSourceImage(file)) {
            ImageSizeOptions size;
            Prepare(converter, size);
            converter.m_dataSink = &ImageToPDFConverter::AddEncodedPage;
            converter.m_dataSinkContext = this;
            converter.m_sizeHook = &ImageToPDFConverter::PrepareConverter;
            converter.m_sizeHookContext = this;
            m_fileConverter = &converter;
            converter.ConvertWithSize(size);
            m_fileConverter = nullptr;
        }
    }
    insertIndex = m_insertIndex;
    m_document = nullptr;
    return m_pageAdded != 0;
}

void ImageToPDFConverter::PrepareConverter(ImageConverter& converter, ImageSizeOptions& size, void* context)
{
    static_cast<const ImageToPDFConverter*>(context)->Prepare(converter, size);
}

void ImageToPDFConverter::Prepare(ImageConverter& converter, ImageSizeOptions& size) const
{
    converter.SetOutputInfo(m_pageImageType, QUrl(), m_pageImageQuality);
    size = ImageSizeOptions{};
    size.keepAspectRatio = 1;
    size.resize = 1;
    size.allowEnlarge = 0;
    size.unit = LengthUnit::Percent;
    size.fitMode = 0;
    size.width = PreparedPercentage(converter);
    converter.SetColorModel(m_pageImageColorModel);
    converter.m_keepEncodedData = 1;
    if (m_layoutMode != 0) {
        converter.m_fitWidth = ContentWidth();
        converter.m_fitHeight = ContentHeight();
    }
    converter.SetOrientationFromAngle(m_angle);
}

double ImageToPDFConverter::PreparedPercentage(ImageConverter& converter) const
{
    // A ceiling found for an earlier representation does not hold for this one.
    converter.m_fixedDPI = 0;
    if (m_maxDPI < 1)
        return static_cast<double>(m_scalePercent);
    double dpiX = converter.SourceDPIX();
    double dpiY = converter.SourceDPIY();
    if (m_layoutMode == 1) {
        // Without a content area there is no resolution at which the image fills it.
        if (ContentWidth() <= 0 || ContentHeight() <= 0)
            return static_cast<double>(m_scalePercent);
        dpiX = converter.PixelWidth() / ContentWidth() * 72.0;
        dpiY = converter.PixelHeight() / ContentHeight() * 72.0;
    }
    const double highest = std::max(dpiX, dpiY);
    if (static_cast<double>(m_maxDPI) >= highest)
        return static_cast<double>(m_scalePercent);
    converter.m_fixedDPI = static_cast<double>(m_maxDPI);
    return static_cast<double>(static_cast<float>(m_maxDPI * 100)) / highest;
}
