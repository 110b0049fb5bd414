#pragma once

#include "toolkit/converter/ImageConverter.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <set>

class Dict;
class Object;
class Page;
class Parser;
class Stream;
struct Ref;

// Writes every image of a PDF to its own file: on each chosen page the image objects named in the
// page's resources (forms descended into), then the inline images of the page's content stream.
// Files are named <base>_<Page><page>_<n>.<extension> in the output folder, n counting from 1 on each
// page over the images that decoded.
class PDFImageExtractor : public ImageConverter {
public:
    PDFImageExtractor();
    ~PDFImageExtractor();

    // Mode 0 all pages, 1 one page, 2 a range (any other mode acts as 0); pages count from 1.
    void SetPageSelection(std::uint32_t mode, std::int64_t firstPage, std::int64_t lastPage);
    bool OpenSourcePDF(const QUrl& url);

    // True when the run ended: every page done, cancelled, or nothing to find. False only when images
    // were found and decoded but not one of them could be written.
    bool ExtractImages();

    QString m_imageBasePath;
    std::int64_t m_imageIndex = 0;
    Dict* m_pageColorSpaces = nullptr;

    // What the run did, for its caller's report.
    std::int64_t m_imagesDecoded = 0;
    std::int64_t m_imagesWritten = 0;

private:
    QString BaseName() const;
    void ExtractPage(Page& page);

    void ExtractPageImages(Page& page);
    void VisitXObjects(Dict& xobjects);
    void VisitXObject(Dict& xobjects, int index);
    void ExtractFormImages(Dict& form);
    void ExtractInlineImages(Page& page);
    void ExtractInlineImage(Parser& parser);
    void SaveExtractedImage(Dict& dictionary, Stream& stream, bool inlineImage);
    bool WriteDecodedImage(const std::shared_ptr<Image>& image);

    // Holds the page's colour-space dictionary while m_pageColorSpaces points into it.
    std::unique_ptr<Object> m_pageColorSpacesHolder;
    // Forms walked on the current page: each once, so that forms naming each other end.
    std::set<Ref> m_formsVisited;
    int m_formDepth = 0;
};

// Forms nested deeper than this are not entered.
inline constexpr int kMaxPDFFormNesting = 32;
