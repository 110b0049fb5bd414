#pragma once

#include "toolkit/converter/ImageConverter.h"
#include "toolkit/pdf/PDFContentStreams.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class Dict;
class Object;
class Page;
class Parser;
class Stream;
struct Ref;

// Writes every image of a PDF to its own file: on each chosen page the images its content draws, in
// the order it draws them: image XObjects named by "Do" (each time it is drawn, forms descended
// into) and inline images. Files are named <base>_<Page><page>_<n>.<extension> in the output folder,
// n counting from 1 on each page over the images that decoded; a name already taken gets the next
// free numbered form of it, so that nothing is overwritten and no earlier file passes for output.
//
// Hostile files can make any amount of work: a page whose content streams (forms counted each time
// they are drawn) decode to more than kMaxPDFPageContentBytes or cannot be read within it, or whose images decode to more than
// kMaxPDFPageImageBytes, is given up where it stands, and an image over the decoder's size limit is
// skipped; both are counted and told on the warning channel, and the rest of the document is done.
class PDFImageExtractor : public ImageConverter {
public:
    PDFImageExtractor();
    ~PDFImageExtractor();

    // Mode 0 all pages, 1 one page, 2 a range (any other mode acts as 0); pages count from 1.
    void SetPageSelection(std::uint32_t mode, std::int64_t firstPage, std::int64_t lastPage);
    bool OpenSourcePDF(const QUrl& url);

    // True whenever the run ran: also when nothing was found, pages are missing, images could not be
    // written or the user cancelled.
    bool ExtractImages();

    QString m_imageBasePath;
    std::int64_t m_imageIndex = 0;
    Dict* m_pageColorSpaces = nullptr;

    // What the run did, for its caller's report.
    std::int64_t m_imagesDecoded = 0;
    std::int64_t m_imagesWritten = 0;
    // Images over the decoder's size limit, and pages given up over the page limits.
    std::int64_t m_imagesOverLimit = 0;
    std::int64_t m_pagesOverLimit = 0;

private:
    QString BaseName() const;
    bool Cancelled() const;
    void ExtractPage(Page& page, std::int64_t pageNumber);

    void ExtractContentImages(const Object& contents, Dict* resources);
    void DrawXObject(const char* name);
    void ExtractFormImages(const Object& form, const Object& reference);
    void ExtractInlineImage(Parser& parser);
    void SaveExtractedImage(Dict& dictionary, Stream& stream, bool inlineImage);
    bool WriteDecodedImage(const std::shared_ptr<Image>& image);

    // Holds the page's colour-space dictionary while m_pageColorSpaces points into it.
    std::unique_ptr<Object> m_pageColorSpacesHolder;
    // The forms being walked, outermost first: a form that draws one of them would never end.
    std::vector<Ref> m_formPath;
    // The resources of the contents being walked, outermost first.
    std::vector<Dict*> m_resourceChain;
    int m_formDepth = 0;
    std::int64_t m_pageNumber = 0;
    // What the current page may still decode.
    std::int64_t m_pageContentLeft = 0;
    std::int64_t m_pageImageBytesLeft = 0;
    bool m_pageOverLimit = false;
};

// Forms nested deeper than this are not entered.
inline constexpr int kMaxPDFFormNesting = 32;
// The bytes of one page's decoded images, an image's counted each time it is drawn.
inline constexpr std::int64_t kMaxPDFPageImageBytes = std::int64_t(4) << 30;
// What one use of a form and one drawn image count at least against those limits: a page draws at
// most 16384 forms and 65536 images.
inline constexpr std::int64_t kPDFFormDrawCost = kMaxPDFPageContentBytes / 16384;
inline constexpr std::int64_t kPDFImageDrawCost = kMaxPDFPageImageBytes / 4096;
