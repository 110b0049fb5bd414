#pragma once

#include "common/ProgressCallbackInfo.h"
#include "toolkit/converter/ImageConverter.h"
#include "toolkit/options/ConversionListItem.h"
#include "toolkit/options/ImageSizeOptions.h"

#include <QByteArray>
#include <QRectF>
#include <QUrl>
#include <QVariant>
#include <QVariantMap>

#include <cstdint>

class PdfDocument;
struct ImagesToPDFConversionOptions;

// Puts image files on PDF pages, one page per representation. Each file is loaded, sized and encoded by a
// converter of its own, which hands every encoded image to the page step here instead of writing a file;
// the page shows those encoded bytes as they are. Of the base it uses only the destination.
class ImageToPDFConverter : public ImageConverter {
public:
    ImageToPDFConverter();
    ~ImageToPDFConverter();

    void SetOptions(const ImagesToPDFConversionOptions& options);
    // The settings for a caller with its own list and document; the paper size is cut to whole points.
    void SetConversionParameters(std::uint64_t orientation, std::uint8_t keepWidth, std::uint8_t keepHeight,
                                 std::uint32_t outputType, std::uint32_t colorModel, std::uint32_t pageMode,
                                 std::int64_t scalePercent, std::int64_t maxDPI, const QVariantMap& writeOptions,
                                 double paperWidth, double paperHeight, double leftMargin, double rightMargin,
                                 double topMargin, double bottomMargin, double quality);
    void SetListProgressCallback(ConversionProgressDelegate* object, ProgressCallbackInfo::Selector selector);

    // Inserts a page for every representation of the file into the document from insertIndex on, which
    // is advanced past them. An angle that is not a number leaves the current one. True when a page was
    // inserted.
    bool AddImageFileToDocument(const QUrl& file, PdfDocument& document, long long& insertIndex,
                                const QVariant& angle = {});

    bool ConvertToSeparatePDFs();
    bool ConvertToSinglePDF();

    // The paper (width and height swapped for landscape), or an empty rectangle when pages take the
    // images' own size.
    QRectF PaperRect() const;
    double ContentWidth() const;
    double ContentHeight() const;

    ConversionList m_items;
    ProgressCallbackInfo m_listProgress;
    double m_pageImageQuality = 0;
    std::uint32_t m_pageImageType = 0;
    std::uint32_t m_pageImageColorModel = 0;
    std::uint32_t m_layoutMode = 0;
    std::uint64_t m_paperWidth = 0;
    std::uint64_t m_paperHeight = 0;
    double m_leftMargin = 0;
    double m_rightMargin = 0;
    double m_topMargin = 0;
    double m_bottomMargin = 0;
    std::uint64_t m_paperOrientation = 0;
    std::int64_t m_scalePercent = 0;
    std::int64_t m_maxDPI = 0;
    QVariantMap m_pdfWriteOptions;
    std::uint8_t m_pageAdded = 0;
    PdfDocument* m_document = nullptr;
    std::int64_t m_insertIndex = 0;
    std::int64_t m_angle = 0;
    std::uint8_t m_keepWidth = 0;
    std::uint8_t m_keepHeight = 0;

private:
    // A PDF item's pages go in as they are, vector and text kept, turned by the item's angle.
    // NotTaken when the file is no PDF that opens without a password; LeftOut (nothing added, and
    // no other road tries it) when its author forbids printing it.
    enum class PDFPages {
        NotTaken,
        Added,
        LeftOut
    };
    PDFPages addPDFPages(const QUrl& file, PdfDocument& document);
    // The converter of the file being added: the page step reads the resolution it encoded with.
    const ImageConverter* m_fileConverter = nullptr;

    static void PrepareConverter(ImageConverter& converter, ImageSizeOptions& size, void* context);
    static void AddEncodedPage(const QByteArray& data, void* context);
    void Prepare(ImageConverter& converter, ImageSizeOptions& size) const;
    double PreparedPercentage(ImageConverter& converter) const;
    bool InsertPage(const QByteArray& data);
    bool WriteDocument(const PdfDocument& document, const QUrl& target) const;
};
