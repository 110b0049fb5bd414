#include "toolkit/pdfimages/PDFImageExtractor.h"

#include "toolkit/helpers/ImageExtension.h"
#include "toolkit/options/ToolkitProgress.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/pdfimages/PDFImageDecoder.h"
#include "toolkit/pdfpages/PDFPageSelection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <Object.h>
#include <Catalog.h>
#include <PDFDoc.h>
#include <Page.h>

PDFImageExtractor::PDFImageExtractor() = default;

PDFImageExtractor::~PDFImageExtractor() = default;

void PDFImageExtractor::SetPageSelection(std::uint32_t mode, std::int64_t firstPage, std::int64_t lastPage)
{
    SetPageRange(firstPage, lastPage, mode);
}

bool PDFImageExtractor::OpenSourcePDF(const QUrl& url)
{
    m_pdfDocument = PDFSourceDocument::open(url.toLocalFile());
    m_sourceURL = url;
    return m_pdfDocument != nullptr;
}

QString PDFImageExtractor::BaseName() const
{
    if (!m_baseName.isEmpty())
        return m_baseName;
    return QFileInfo(m_sourceURL.path()).completeBaseName();
}

bool PDFImageExtractor::ExtractImages()
{
    PDFDoc* document = m_pdfDocument ? m_pdfDocument->document() : nullptr;
    if (!document)
        return true;
    const int pageCount = document->getNumPages();
    if (pageCount <= 0 && m_pageMode != 1 && m_pageMode != 2)
        return true;
    const PDFPageSelection range = SelectPDFPages(*this, pageCount);
    m_imagesDecoded = m_imagesWritten = 0;
    const QString outputFolder = m_destinationURL.toLocalFile();
    const QString baseName = BaseName();
    const QString pageWord = QCoreApplication::translate("PDFImageExtractor", "Page");
    const ProgressCallbackInfo progress{m_progressObject, m_progressSelector};
    for (std::int64_t p = range.first; p <= range.last; ++p) {
        if (m_progressObject && m_progressObject->isConversionCancelled())
            break;
        ToolkitProgress::Report(progress, static_cast<long>(p));
        m_imageBasePath = QDir(outputFolder).filePath(QStringLiteral("%1_%2%3_").arg(baseName, pageWord).arg(p));
        m_imageIndex = 1;
        Page* page = p >= 1 && p <= pageCount ? document->getPage(static_cast<int>(p)) : nullptr;
        if (page)
            ExtractPage(*page);
    }
    // Images that were there but of which not one could be written are a failed run.
    return m_imagesDecoded == 0 || m_imagesWritten > 0;
}

void PDFImageExtractor::ExtractPage(Page& page)
{
    m_formsVisited.clear();
    ExtractPageImages(page);
    ExtractInlineImages(page);
    m_pageColorSpaces = nullptr;
    m_pageColorSpacesHolder.reset();
    m_formsVisited.clear();
}

void PDFImageExtractor::ExtractPageImages(Page& page)
{
    Dict* resources = page.getResourceDict();
    if (!resources)
        return;
    m_pageColorSpacesHolder = std::make_unique<Object>(resources->lookup("ColorSpace"));
    m_pageColorSpaces = m_pageColorSpacesHolder->isDict() ? m_pageColorSpacesHolder->getDict() : nullptr;
    Object xobjects = resources->lookup("XObject");
    if (xobjects.isDict())
        VisitXObjects(*xobjects.getDict());
}

void PDFImageExtractor::VisitXObjects(Dict& xobjects)
{
    for (int i = 0; i < xobjects.getLength(); ++i)
        VisitXObject(xobjects, i);
}

void PDFImageExtractor::VisitXObject(Dict& xobjects, int index)
{
    Object entry = xobjects.getVal(index);
    if (!entry.isStream() || !entry.getStream()->getDict())
        return;
    Dict& dictionary = *entry.getStream()->getDict();
    Object subtype = dictionary.lookup("Subtype");
    if (subtype.isName("Image")) {
        SaveExtractedImage(dictionary, *entry.getStream(), false);
    } else if (subtype.isName("Form")) {
        const Object& reference = xobjects.getValNF(index);
        if (reference.isRef() && !m_formsVisited.insert(reference.getRef()).second)
            return;
        ExtractFormImages(dictionary);
    }
}

void PDFImageExtractor::ExtractFormImages(Dict& form)
{
    if (m_formDepth >= kMaxPDFFormNesting)
        return;
    Object resources = form.lookup("Resources");
    if (!resources.isDict())
        return;
    Object xobjects = resources.getDict()->lookup("XObject");
    if (!xobjects.isDict())
        return;
    ++m_formDepth;
    VisitXObjects(*xobjects.getDict());
    --m_formDepth;
}

std::shared_ptr<BitmapImageRep> DecodePDFImage(const PDFImageExtractor& extractor, Dict& dictionary, Stream& stream,
                                               PDFImageOrigin origin)
{
    const PDFImageDecodeContext context{extractor.m_pageColorSpaces, extractor.m_outputType};
    return DecodePDFImage(context, dictionary, stream, origin);
}

void PDFImageExtractor::SaveExtractedImage(Dict& dictionary, Stream& stream, bool inlineImage)
{
    const auto bitmap = DecodePDFImage(*this, dictionary, stream, inlineImage ? PDFImageOrigin::Inline : PDFImageOrigin::XObject);
    if (!bitmap)
        return;
    ++m_imagesDecoded;
    const QString path = m_imageBasePath + QString::number(m_imageIndex) + "." + GetImageExtension(m_outputType);
    m_destinationURL = QUrl::fromLocalFile(path);
    // An image of an earlier run stays unless replacing was asked for; it is not this run's output.
    if (m_replaceExisting || !QFileInfo::exists(path)) {
        if (WriteDecodedImage(Image::fromBitmap(bitmap)))
            ++m_imagesWritten;
    }
    ++m_imageIndex;
}

bool PDFImageExtractor::WriteDecodedImage(const std::shared_ptr<Image>& image)
{
    if (m_outputType != ImageType::PDF && WriteImage(image))
        return true;
    // PDF output, or an image the output type's writer refused: through TIFF in memory and back.
    const std::uint32_t outputType = m_outputType;
    m_outputType = ImageType::TIFF;
    QByteArray tiff;
    const bool encoded = EncodeImage(*image, tiff);
    m_outputType = outputType;
    std::shared_ptr<Image> decoded;
    return encoded && DecodeImageData(tiff, decoded) && WriteImage(decoded);
}
