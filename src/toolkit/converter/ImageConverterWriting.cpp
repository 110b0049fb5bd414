#include "toolkit/converter/ImageConverter.h"

#include "toolkit/codec/WebPCodec.h"
#include "toolkit/converter/OutputFile.h"
#include "toolkit/helpers/BitmapRepresentation.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/imageio/ImageFileReader.h"
#include "toolkit/imagewriter/PDFImageDocument.h"
#include "common/TemporaryFileNames.h"
#include "common/UniqueFileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A temporary file that is removed when the road that made it ends, however it ends.
class TemporaryFile {
public:
    explicit TemporaryFile(QString path)
        : m_path(std::move(path))
    {}
    ~TemporaryFile() { QFile::remove(m_path); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const QString& path() const { return m_path; }

private:
    QString m_path;
};

std::shared_ptr<BitmapImageRep> BitmapOfEntry(const std::shared_ptr<ImageRep>& entry, const Image& image)
{
    if (auto bitmap = std::dynamic_pointer_cast<BitmapImageRep>(entry))
        return bitmap;
    return image.makeBitmapRepresentation();
}

} // namespace

bool ImageConverter::TypeKeepsMetadata() const
{
    return ::TypeKeepsMetadata(m_outputType);
}

bool ImageConverter::TypeUsesBitmapWriter() const
{
    return ::TypeUsesBitmapWriter(m_outputType);
}

bool ImageConverter::TypeSupportsAlpha() const
{
    return ::TypeSupportsAlpha(m_outputType);
}

void ImageConverter::CopySourceMetadata(WriteProperties& properties) const
{
    // The source's first image, as it was loaded: its dictionaries travel; its own orientation, resolution
    // and compression are replaced by the output's, which the writers set themselves.
    if (m_representations.empty())
        return;
    const auto bitmap = std::dynamic_pointer_cast<BitmapImageRep>(m_representations.front());
    if (!bitmap)
        return;
    properties.metadata.dictionaries = bitmap->metadata().dictionaries;
    properties.metadata.exif = bitmap->metadata().exif;
    if (properties.orientation == 0)
        properties.orientation = m_orientation != 0 ? static_cast<int>(m_orientation) : 1;
}

WriteProperties ImageConverter::BuildDestinationProperties() const
{
    WriteProperties properties;
    if (m_keepMetadata && TypeKeepsMetadata())
        CopySourceMetadata(properties);
    if (m_orientation != 0)
        properties.orientation = static_cast<int>(m_orientation);
    if (TypeWritesHasAlpha(m_outputType))
        properties.hasAlpha = true;
    if (m_dpiX != 0 || m_dpiY != 0) {
        properties.dpiX = m_dpiX;
        properties.dpiY = m_dpiY;
    }
    if (TypeUsesLZW(m_outputType))
        properties.tiffCompression = 5;
    if (TypeUsesQuality(m_outputType))
        properties.quality = m_quality;
    return properties;
}

WriteProperties ImageConverter::BitmapProperties() const
{
    WriteProperties properties;
    if (TypeUsesLZW(m_outputType))
        properties.tiffCompression = 5;
    if (TypeUsesQuality(m_outputType))
        properties.quality = static_cast<float>(m_quality);
    properties.hasAlpha = true; // the bitmap road keeps what the bitmap has
    properties.dpiX = m_dpiX;
    properties.dpiY = m_dpiY;
    return properties;
}

QString ImageConverter::BitmapFileType() const
{
    switch (m_outputType) {
    case ImageType::GIF:
    case ImageType::JPEG2000:
    case ImageType::PNG:
    case ImageType::TIFF:
    case ImageType::CMYKTIFF:
    case ImageType::MultiPageTIFF:
    case ImageType::BMP:
        return ImageWriteIdentifier(m_outputType);
    default:
        return QStringLiteral("public.jpeg");
    }
}

bool ImageConverter::EncodeImage(const Image& image, QByteArray& data)
{
    const QString identifier = CopyOutputTypeIdentifier(*this);
    const auto bitmap = GetBitmapRepresentation(image);
    if (identifier.isEmpty() || !bitmap)
        return false;
    return EncodeBitmapImage(*bitmap, identifier, BuildDestinationProperties(), data);
}

bool ImageConverter::WriteImage(const std::shared_ptr<Image>& image, const QUrl& url)
{
    if (m_keepImage) {
        m_resultImage = image;
        return image != nullptr;
    }
    // WebP has its own encoder, whichever road reaches the writer; a derived converter that takes the
    // bytes gets them from the image writer as for any type it does not show as they are.
    if (m_outputType == ImageType::WebP && image && !m_keepEncodedData && !m_dataSink)
        return WriteWebP(*image, url.isEmpty() ? m_destinationURL : url);
    QByteArray data;
    const bool encoded = image && EncodeImage(*image, data);
    bool result = encoded;
    if (encoded && !m_keepEncodedData && !m_dataSink) {
        const QUrl target = url.isEmpty() ? m_destinationURL : url;
        result = CreateOutputFile(target.toLocalFile(), data, m_fileAttributes);
    }
    if (m_dataSink)
        m_dataSink(data, m_dataSinkContext);
    if (m_keepEncodedData)
        m_encodedData = data;
    return result;
}

bool ImageConverter::DecodeImageData(const QByteArray& bytes, std::shared_ptr<Image>& out)
{
    ImageRepList representations;
    for (const std::uint32_t type : {ImageType::TIFF, ImageType::PNG, ImageType::JPEG}) {
        representations = ReadImageData(bytes, type);
        if (!representations.empty())
            break;
    }
    if (representations.empty())
        return false;
    out = std::make_shared<Image>(ImageRepList{representations.front()});
    return true;
}

void ImageConverter::TakeResolutionFromCurrentRep()
{
    if (!m_currentRep)
        return;
    const QSizeF points = m_currentRep->size();
    if (points.width() > 0)
        m_dpiX = m_currentRep->pixelsWide() / (points.width() / 72.0);
    if (points.height() > 0)
        m_dpiY = m_currentRep->pixelsHigh() / (points.height() / 72.0);
}

bool ImageConverter::EncodeFirstRepresentation(QByteArray& out)
{
    const auto bitmap = BitmapRepresentation();
    if (!bitmap)
        return false;
    if (!m_currentRep)
        m_currentRep = bitmap;
    if (m_usePixelSize)
        TakeResolutionFromCurrentRep();
    QByteArray data;
    bool encoded = false;
    if (m_usePixelSize && TypeUsesBitmapWriter())
        encoded = EncodeBitmapImage(*bitmap, BitmapFileType(), BitmapProperties(), data);
    else
        encoded = EncodeImage(*Image::fromBitmap(bitmap), data);
    if (encoded)
        out = data;
    return encoded;
}

bool ImageConverter::EncodeAsTIFF(const Image& image, QByteArray& data)
{
    const std::uint32_t type = m_outputType;
    m_outputType = ImageType::TIFF;
    const bool encoded = EncodeImage(image, data);
    m_outputType = type;
    return encoded;
}

// Encodes as TIFF, hands the file to the WebP encoder, and removes the TIFF on every road.
bool ImageConverter::WriteWebP(const Image& image, const QUrl& url)
{
    QByteArray tiff;
    if (!EncodeAsTIFF(image, tiff))
        return false;
    const TemporaryFile temporary(WBQUtil::GetTemporaryURL().toLocalFile());
    if (!CreateOutputFile(temporary.path(), tiff, {}))
        return false;
    WebPConfig config;
    if (!WebPConfigPreset(&config, WEBP_PRESET_DEFAULT, 75.0F))
        return false;
    if (m_quality == 1.0) {
        config.lossless = 1;
        config.alpha_compression = 1;
    } else {
        config.quality = static_cast<float>(m_quality * 100.0);
        config.alpha_quality = static_cast<int>(m_quality * 100.0);
    }
    const QString destination = url.toLocalFile();
    const int result = EncodeImageFileToWebP(QFile::encodeName(temporary.path()).constData(),
                                             QFile::encodeName(destination).constData(), &config,
                                             kWebPMetadataEXIF | kWebPMetadataICC);
    if (result != kWebPEncodeSuccess)
        return false;
    SetOutputFileAttributes(destination, m_fileAttributes);
    return true;
}

bool ImageConverter::WriteWithTIFFFallback(const std::shared_ptr<Image>& image)
{
    if (WriteImage(image))
        return true;
    // A second chance through a plain TIFF re-encoding, for pixels the first writer could not take.
    QByteArray tiff;
    std::shared_ptr<Image> decoded;
    if (!EncodeAsTIFF(*image, tiff) || !DecodeImageData(tiff, decoded))
        return false;
    return WriteImage(decoded);
}

bool ImageConverter::WriteRepresentation(std::size_t index, std::size_t count, const QString& baseName,
                                         const QString& extension, PDFImageDocument* pdf)
{
    const bool several = count > 1;
    if (several && m_outputType != ImageType::PDF) {
        const QString folder = QFileInfo(m_destinationFolderPath).filePath();
        if (index == 0)
            QDir().mkpath(folder); // errors ignored: the file creation reports them
        m_destinationURL = WBQUtil::GetUniqueFileURL(QUrl::fromLocalFile(folder), baseName, extension, false);
    }
    const auto bitmap = BitmapOfEntry(m_image->representations()[index], *m_image);
    if (!bitmap)
        return false;
    // Each representation is written at its own resolution: the pages of one TIFF need not share one.
    if (!m_currentRep || m_usePixelSize)
        m_currentRep = bitmap;
    if (m_usePixelSize)
        TakeResolutionFromCurrentRep();
    const std::uint32_t type = m_outputType;
    const bool fastType = type == ImageType::GIF || type == ImageType::JPEG || type == ImageType::PNG
                          || type == ImageType::TIFF || type == ImageType::CMYKTIFF;
    if (m_usePixelSize && !m_keepMetadata && fastType && !m_keepImage && !m_keepEncodedData && !m_dataSink) {
        QByteArray data;
        if (EncodeBitmapImage(*bitmap, BitmapFileType(), BitmapProperties(), data)
            && CreateOutputFile(m_destinationURL.toLocalFile(), data, m_fileAttributes))
            return true;
    }
    const std::shared_ptr<Image> image = Image::fromBitmap(bitmap);
    if (several && type == ImageType::PDF && pdf)
        return pdf->addPage(*bitmap, m_dpiX > 0 ? m_dpiX : bitmap->dpiX(), m_dpiY > 0 ? m_dpiY : bitmap->dpiY());
    return WriteWithTIFFFallback(image);
}

bool ImageConverter::WriteAllRepresentations()
{
    if (!m_image)
        return false;
    const QFileInfo destination(m_destinationURL.toLocalFile());
    const QString baseName = destination.completeBaseName();
    const QString extension = destination.suffix();
    const std::size_t count = m_image->representations().size();
    if (count == 0)
        return false;
    m_destinationFolderPath = destination.dir().filePath(baseName);
    ResolveOutputType();
    const QUrl pdfTarget = m_destinationURL;
    const bool onePDF = count > 1 && m_outputType == ImageType::PDF;
    PDFImageDocument pdf;
    bool result = false;
    for (std::size_t index = 0; index < count; ++index) {
        result = WriteRepresentation(index, count, baseName, extension, &pdf);
        // A document missing a page is not the source: it replaces nothing.
        if (onePDF && !result)
            return false;
    }
    if (onePDF) {
        const QByteArray data = pdf.data();
        result = !data.isEmpty() && CreateOutputFile(pdfTarget.toLocalFile(), data, m_fileAttributes);
    }
    return result;
}
