#include "toolkit/pdfimages/PDFImageExtractor.h"

#include "common/UniqueFileNames.h"
#include "toolkit/helpers/ImageExtension.h"
#include "toolkit/options/ToolkitProgress.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/pdfimages/PDFImageDecoder.h"
#include "toolkit/pdfpages/PDFPageSelection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

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
    m_pdfDocument = PDFSourceDocument::open(url.toLocalFile(), m_password.toUtf8());
    m_sourceURL = url;
    return m_pdfDocument != nullptr;
}

bool PDFImageExtractor::Cancelled() const
{
    return m_progressObject && m_progressObject->isConversionCancelled();
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
    m_imagesDecoded = m_imagesWritten = m_imagesOverLimit = m_pagesOverLimit = 0;
    const QString outputFolder = m_destinationURL.toLocalFile();
    const QString baseName = BaseName();
    const QString pageWord = QCoreApplication::translate("PDFImageExtractor", "Page");
    const ProgressCallbackInfo progress{m_progressObject, m_progressSelector};
    for (std::int64_t p = range.first; p <= range.last; ++p) {
        if (Cancelled())
            break;
        ToolkitProgress::Report(progress, static_cast<long>(p));
        m_imageBasePath = QDir(outputFolder).filePath(QStringLiteral("%1_%2%3_").arg(baseName, pageWord).arg(p));
        m_imageIndex = 1;
        Page* page = p >= 1 && p <= pageCount ? document->getPage(static_cast<int>(p)) : nullptr;
        if (page)
            ExtractPage(*page, p);
    }
    if (m_imagesDecoded > m_imagesWritten)
        qWarning("%lld of %lld images could not be written", static_cast<long long>(m_imagesDecoded - m_imagesWritten),
                 static_cast<long long>(m_imagesDecoded));
    return true;
}

void PDFImageExtractor::ExtractPage(Page& page, std::int64_t pageNumber)
{
    m_pageNumber = pageNumber;
    m_formPath.clear();
    m_resourceChain.clear();
    m_formDepth = 0;
    m_pageContentLeft = kMaxPDFPageContentBytes;
    m_pageImageBytesLeft = kMaxPDFPageImageBytes;
    m_pageOverLimit = false;
    Dict* resources = page.getResourceDict();
    if (resources) {
        m_pageColorSpacesHolder = std::make_unique<Object>(resources->lookup("ColorSpace"));
        m_pageColorSpaces = m_pageColorSpacesHolder->isDict() ? m_pageColorSpacesHolder->getDict() : nullptr;
    }
    ExtractContentImages(page.getContents(), resources);
    if (m_pageOverLimit) {
        ++m_pagesOverLimit;
        qWarning("Page %lld decodes to more than the limit; the images after that point were not extracted",
                 static_cast<long long>(pageNumber));
    }
    m_pageColorSpaces = nullptr;
    m_pageColorSpacesHolder.reset();
}

// A name is looked up in the resources of the content that draws it, then in those of the contents
// around it, as the page renderer does. Streams are indirect objects: a form is known by its
// reference; one given directly has none and is bounded by the nesting and content limits alone.
void PDFImageExtractor::DrawXObject(const char* name)
{
    for (auto resources = m_resourceChain.rbegin(); resources != m_resourceChain.rend(); ++resources) {
        const Object xobjects = (*resources)->lookup("XObject");
        if (!xobjects.isDict())
            continue;
        const Object entry = xobjects.getDict()->lookup(name);
        if (entry.isNull())
            continue;
        if (!entry.isStream() || !entry.getStream()->getDict())
            return;
        Dict& dictionary = *entry.getStream()->getDict();
        const Object subtype = dictionary.lookup("Subtype");
        if (subtype.isName("Image"))
            SaveExtractedImage(dictionary, *entry.getStream(), false);
        else if (subtype.isName("Form"))
            ExtractFormImages(entry, xobjects.getDict()->lookupNF(name));
        return;
    }
}

void PDFImageExtractor::ExtractFormImages(const Object& form, const Object& reference)
{
    if (m_formDepth >= kMaxPDFFormNesting)
        return;
    if (reference.isRef() && std::find(m_formPath.begin(), m_formPath.end(), reference.getRef()) != m_formPath.end())
        return;
    // Every use costs something, however short the form: forms that each draw the next twice would
    // otherwise make billions of tiny walks.
    m_pageContentLeft -= kPDFFormDrawCost;
    if (m_pageContentLeft < 0) {
        m_pageOverLimit = true;
        return;
    }
    const Object own = form.getStream()->getDict()->lookup("Resources");
    if (reference.isRef())
        m_formPath.push_back(reference.getRef());
    ++m_formDepth;
    ExtractContentImages(form, own.isDict() ? own.getDict() : nullptr);
    --m_formDepth;
    if (reference.isRef())
        m_formPath.pop_back();
}

std::shared_ptr<BitmapImageRep> DecodePDFImage(const PDFImageExtractor& extractor, Dict& dictionary, Stream& stream,
                                               PDFImageOrigin origin)
{
    const PDFImageDecodeContext context{extractor.m_pageColorSpaces, extractor.m_outputType};
    return DecodePDFImage(context, dictionary, stream, origin);
}

void PDFImageExtractor::SaveExtractedImage(Dict& dictionary, Stream& stream, bool inlineImage)
{
    if (m_pageOverLimit || Cancelled())
        return;
    bool overLimit = false;
    const PDFImageDecodeContext context{m_pageColorSpaces, m_outputType, &overLimit, [this] { return Cancelled(); }};
    const auto bitmap = DecodePDFImage(context, dictionary, stream, inlineImage ? PDFImageOrigin::Inline : PDFImageOrigin::XObject);
    if (overLimit) {
        ++m_imagesOverLimit;
        qWarning("An image of page %lld was not extracted: it is over the size limit for images inside PDFs (%s)",
                 static_cast<long long>(m_pageNumber), kPDFImageBoundText);
    }
    if (!bitmap)
        return;
    m_pageImageBytesLeft -= std::max<std::int64_t>(bitmap->image().sizeInBytes(), kPDFImageDrawCost);
    m_pageOverLimit = m_pageImageBytesLeft < 0;
    ++m_imagesDecoded;
    const QFileInfo prefix(m_imageBasePath + QString::number(m_imageIndex));
    m_destinationURL = WBQUtil::GetUniqueFileURL(QUrl::fromLocalFile(prefix.path()), prefix.fileName(),
                                                 GetImageExtension(m_outputType), m_replaceExisting != 0);
    if (!m_destinationURL.isEmpty() && WriteDecodedImage(Image::fromBitmap(bitmap)))
        ++m_imagesWritten;
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
