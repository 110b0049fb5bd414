#include "toolkit/converter/ImageConverter.h"

#include "toolkit/helpers/BitmapRepresentation.h"
#include "toolkit/helpers/ImageTypeCodes.h"

#include <QFile>

ImageConverter::ImageConverter() = default;

ImageConverter::~ImageConverter()
{
    m_image.reset();
    m_pdfDocument.reset();
    m_encodedData.clear();
    if (m_deleteSourceOnClose && m_sourceURL.isLocalFile())
        QFile::remove(m_sourceURL.toLocalFile()); // errors ignored: nothing more can be done here
    m_resultImage.reset();
}

void ImageConverter::SetOutputInfo(std::uint32_t type, const QUrl& destination, double quality)
{
    m_outputType = type;
    m_destinationURL = destination;
    m_quality = quality;
}

void ImageConverter::SetResolution(long long dpiY, long long dpiX)
{
    m_dpiY = static_cast<double>(dpiY);
    m_dpiX = static_cast<double>(dpiX);
}

void ImageConverter::SetOrientationFromAngle(long long angle)
{
    if (angle == 0 || angle == 360)
        m_orientation = 1;
    else if (angle == 90 || angle == -270)
        m_orientation = 6;
    else if (angle == 180 || angle == -180)
        m_orientation = 3;
    else if (angle == 270 || angle == -90)
        m_orientation = 8;
}

void ImageConverter::SetPageRange(long long first, long long last, std::uint32_t mode)
{
    m_firstPage = first;
    m_lastPage = last;
    m_pageMode = mode;
}

void ImageConverter::SetOutputNaming(const QString& baseName, std::uint8_t numberFromFirstPage, std::int8_t replaceExisting)
{
    m_baseName = baseName;
    m_numberFromFirstPage = numberFromFirstPage;
    m_replaceExisting = replaceExisting;
}

void ImageConverter::SetProgressCallback(ConversionProgressDelegate* object, ProgressCallbackInfo::Selector selector)
{
    m_progressObject = object;
    m_progressSelector = selector;
}

void ImageConverter::SetStampOptions(const StampOptions& stamp, bool text)
{
    if (text) {
        m_hasTextStamp = 1;
        m_textStamp = static_cast<const TextStampOptions&>(stamp);
        return;
    }
    m_hasOverlay = 1;
    m_overlayImage = stamp.overlayImage;
    m_overlayX = stamp.overlayX;
    m_overlayY = stamp.overlayY;
    m_overlayRight = stamp.overlayRight;
    m_overlayTop = stamp.overlayTop;
    m_overlayAlpha = stamp.overlayAlpha;
    m_overlayScale = stamp.overlayScale;
    m_textStamp.referenceWidth = stamp.referenceWidth;
    m_textStamp.referenceHeight = stamp.referenceHeight;
}

double ImageConverter::SourceDPIX() const
{
    if (!m_currentRep || m_currentRep->size().width() <= 0)
        return 72.0;
    return m_currentRep->pixelsWide() / m_currentRep->size().width() * 72.0;
}

double ImageConverter::SourceDPIY() const
{
    if (!m_currentRep || m_currentRep->size().height() <= 0)
        return 72.0;
    return m_currentRep->pixelsHigh() / m_currentRep->size().height() * 72.0;
}

double ImageConverter::PixelWidth() const
{
    return m_currentRep ? m_currentRep->pixelsWide() : 0.0;
}

double ImageConverter::PixelHeight() const
{
    return m_currentRep ? m_currentRep->pixelsHigh() : 0.0;
}

double ImageConverter::PointWidth() const
{
    return m_currentRep ? m_currentRep->size().width() : 0.0;
}

double ImageConverter::PointHeight() const
{
    return m_currentRep ? m_currentRep->size().height() : 0.0;
}

QSizeF ImageConverter::PointSize() const
{
    return m_currentRep ? m_currentRep->size() : QSizeF(0, 0);
}

bool ImageConverter::SourceHasAlpha() const
{
    return m_currentRep && m_currentRep->hasAlpha();
}

std::uint32_t ImageConverter::SourceImageType() const
{
    return ImageTypeOfURL(m_sourceURL);
}

std::uint32_t ImageConverter::SourceImageTypeFromData() const
{
    const QString identifier = TypeIdentifierOfContent(m_sourceURL);
    return identifier.isEmpty() ? ImageType::None : ImageTypeFromUTI(identifier, false);
}

void ImageConverter::ResolveOutputType()
{
    if (m_outputType != ImageType::None)
        return;
    std::uint32_t type = SourceImageTypeFromData();
    if (type == ImageType::None)
        type = ImageTypeOfURL(m_sourceURL);
    if (IsImageTypeWritable(type))
        m_outputType = type;
}

std::shared_ptr<BitmapImageRep> ImageConverter::BitmapRepresentation() const
{
    return m_image ? GetBitmapRepresentation(*m_image) : nullptr;
}

QString CopyOutputTypeIdentifier(const ImageConverter& converter)
{
    return ImageWriteIdentifier(converter.m_outputType);
}
