#pragma once

#include "common/ProgressCallbackInfo.h"
#include "toolkit/converter/PDFSourceDocument.h"
#include "toolkit/imageio/Image.h"
#include "toolkit/imagewriter/ImageEncoder.h"
#include "toolkit/options/ImageSizeOptions.h"
#include "toolkit/options/StampOptions.h"
#include "toolkit/options/TextStampOptions.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QTransform>
#include <QSizeF>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <cstdint>
#include <memory>

class ImageConverter;
class PDFImageDocument;
class QPainter;

// Hands every encoded image to a derived converter instead of a file.
using ImageDataSink = void (*)(const QByteArray& data, void* context);
// Fills the size record before each further representation is converted.
using ImageSizeHook = void (*)(ImageConverter& converter, ImageSizeOptions& size, void* context);

// The conversion object of the image side of the toolkit: a loaded source (an image with its
// representations, or an open PDF), the output settings, the stamp and overlay, the PDF page selection,
// naming and progress, and the two hooks of derived converters. Built on a caller's stack, configured,
// loaded, run once and destroyed; destruction removes a temporary source it made. Derived converters add
// fields after these and call the base operations directly: nothing here is virtual.
class ImageConverter {
public:
    ImageConverter();
    ~ImageConverter();

    ImageConverter(const ImageConverter&) = delete;
    ImageConverter& operator=(const ImageConverter&) = delete;

    // Loading. A WebP source (extension exactly "webp") is decoded to a temporary TIFF file first.
    bool LoadSourceImage(const QUrl& url);
    bool LoadPDFImageRep(const QUrl& url);
    bool OpenPDFDocument(const QUrl& url);
    bool IsPDFEncrypted() const;
    bool UnlockPDF();
    bool PDFNeedsPassword();

    // Setters: each stores its arguments.
    void SetOutputInfo(std::uint32_t type, const QUrl& destination, double quality);
    void SetResolution(long long dpiY, long long dpiX);
    void SetQuality(double quality) { m_quality = quality; }
    void SetOutputType(std::uint32_t type) { m_outputType = type; }
    void SetDestination(const QUrl& destination) { m_destinationURL = destination; }
    void SetOrientation(std::uint32_t orientation) { m_orientation = orientation; }
    void SetOrientationFromAngle(long long angle);
    void SetColorModel(std::uint32_t model) { m_colorModel = model; }
    void SetPassword(const QString& password) { m_password = password; }
    void SetPageRange(long long first, long long last, std::uint32_t mode);
    void SetOutputNaming(const QString& baseName, std::uint8_t numberFromFirstPage, std::int8_t replaceExisting);
    void SetProgressCallback(ConversionProgressDelegate* object, ProgressCallbackInfo::Selector selector);
    void SetConcurrent(std::int8_t concurrent) { m_concurrent = concurrent; }
    void SetUsePixelSize(std::uint8_t usePixelSize) { m_usePixelSize = usePixelSize; }
    // With text set, the record's text stamp; otherwise its overlay (and the shared reference size).
    void SetStampOptions(const StampOptions& stamp, bool text);

    // Queries on the current representation.
    double SourceDPIX() const;
    double SourceDPIY() const;
    double PixelWidth() const;
    double PixelHeight() const;
    double PointWidth() const;
    double PointHeight() const;
    QSizeF PointSize() const;
    bool SourceHasAlpha() const;
    std::uint32_t SourceImageType() const;
    std::uint32_t SourceImageTypeFromData() const;
    std::shared_ptr<BitmapImageRep> BitmapRepresentation() const;

    // Writing: one image to bytes, a file or the data sink; every representation of the loaded image.
    bool WriteImage(const std::shared_ptr<Image>& image, const QUrl& url = {});
    bool EncodeImage(const Image& image, QByteArray& data);
    WriteProperties BuildDestinationProperties() const;
    void CopySourceMetadata(WriteProperties& properties) const;
    static bool DecodeImageData(const QByteArray& bytes, std::shared_ptr<Image>& out);
    bool WriteAllRepresentations();
    bool EncodeFirstRepresentation(QByteArray& out);
    // The properties of the direct bitmap road: LZW for TIFF, the quality for JPEG and JPEG 2000.
    WriteProperties BitmapProperties() const;
    QString BitmapFileType() const;
    bool TypeKeepsMetadata() const;
    bool TypeUsesBitmapWriter() const;
    bool TypeSupportsAlpha() const;

    // Sizing and rendering.
    bool ConvertWithSize(ImageSizeOptions size);
    bool ConvertRepresentations(ImageSizeOptions& size, double width, double height);
    void RefreshSizeForRepresentation(double& width, double& height, ImageSizeOptions& size);
    bool RenderImage(const BitmapImageRep& image, unsigned outWidth, unsigned outHeight, bool sharpen, const QRectF& rect);
    QImage CreateAlphaMask(const QImage& image, int width, int height, const QTransform& orientation, const QRectF& rect) const;
    void DrawOverlay(QPainter& context, double canvasWidth, double canvasHeight);
    bool EncodeCMYKJPEG(unsigned width, unsigned height, const QByteArray& inks);

    double m_quality = 0;
    std::uint32_t m_outputType = 0;
    std::uint32_t m_orientation = 0;
    std::uint32_t m_colorModel = 0;
    double m_dpiX = 0;
    double m_dpiY = 0;
    double m_fixedDPI = 0;
    double m_fitWidth = 0;
    double m_fitHeight = 0;
    std::int64_t m_firstPage = 0;
    std::int64_t m_lastPage = 0;
    std::uint32_t m_pageMode = 0;
    std::shared_ptr<Image> m_image;
    QUrl m_sourceURL;
    QUrl m_destinationURL;
    std::shared_ptr<ImageRep> m_currentRep;
    ImageRepList m_representations;
    std::shared_ptr<PDFImageRep> m_pdfImageRep;
    QString m_password;
    QString m_baseName;
    std::uint8_t m_numberFromFirstPage = 0;
    std::int8_t m_replaceExisting = 0;
    std::uint8_t m_usePixelSize = 0;
    ConversionProgressDelegate* m_progressObject = nullptr;
    ProgressCallbackInfo::Selector m_progressSelector = nullptr;
    std::uint8_t m_hasTextStamp = 0;
    std::uint8_t m_keepMetadata = 0;
    std::uint8_t m_keepEncodedData = 0;
    std::uint8_t m_hasOverlay = 0;
    std::uint8_t m_deleteSourceOnClose = 0;
    std::uint8_t m_keepImage = 0;
    std::int8_t m_concurrent = 0;
    std::uint8_t m_succeeded = 1;
    std::int64_t m_rotation = 0;
    std::uint32_t m_flip = 0;
    TextStampOptions m_textStamp;
    double m_overlayX = 0;
    double m_overlayY = 0;
    double m_overlayRight = 0;
    double m_overlayTop = 0;
    std::shared_ptr<const Image> m_overlayImage;
    double m_overlayAlpha = 0;
    double m_overlayScale = 0;
    QByteArray m_encodedData;
    QVariantMap m_fileAttributes;
    std::shared_ptr<Image> m_resultImage;
    ImageDataSink m_dataSink = nullptr;
    ImageSizeHook m_sizeHook = nullptr;
    void* m_dataSinkContext = nullptr;
    void* m_sizeHookContext = nullptr;
    std::unique_ptr<PDFSourceDocument> m_pdfDocument;
    // The folder that holds the files of an image with several representations.
    QString m_destinationFolderPath;

private:
    bool LoadWebPSource(const QUrl& url);
    bool WriteAtAskedSize(const std::shared_ptr<BitmapImageRep>& bitmap, double pixW, double pixH, double width,
                          double height);
    // Output type 0 becomes the source's own type, as its content says, when this system writes it.
    void ResolveOutputType();
    bool WriteRepresentation(std::size_t index, std::size_t count, const QString& baseName, const QString& extension,
                             PDFImageDocument* pdf);
    // Encodes with the output type set to TIFF for the call, whatever it is otherwise.
    bool EncodeAsTIFF(const Image& image, QByteArray& data);
    bool WriteWebP(const Image& image, const QUrl& url);
    bool WriteWithTIFFFallback(const std::shared_ptr<Image>& image);
    void TakeResolutionFromCurrentRep();
    void WriteFittedResolution(int bitmapWidth, int bitmapHeight);
};
