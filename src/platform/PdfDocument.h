#pragma once

#include "platform/PdfLink.h"

#include <QByteArray>
#include <QString>

#include <memory>

class PdfLinkJumps;
struct PdfDocumentInformation;
class PdfOutline;
class QPDF;

// A PDF document held in memory: opened from bytes or made empty, its pages listed and copied
// into another document, their link annotations read, pointed at places of the document or
// removed, an outline set, and the whole written to a file.
class PdfDocument {
public:
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // A new document without pages.
    static std::unique_ptr<PdfDocument> create();
    // The document in these bytes, or null when they are not a readable PDF.
    static std::unique_ptr<PdfDocument> open(const QByteArray& bytes, QString* error = nullptr);

    int pageCount() const;
    // Appends a copy of the source's page at index. The copy is complete at once: the source
    // may be destroyed right afterwards, so only the pages kept stay in memory.
    // Links of the copied page that jump to a named place of the source keep where that place
    // lies: see PdfLinkAnnotation::jumpTarget.
    bool appendPageCopy(const PdfDocument& source, int index, QString* error = nullptr);

    // Annotations of a page, by their index in the page's annotation list. Out-of-range pages
    // have none; setting or removing out of range does nothing and returns false.
    int annotationCount(int pageIndex) const;
    PdfLinkAnnotation annotationAt(int pageIndex, int index) const;
    // The annotation then jumps to the point of the destination's page (which must exist).
    bool setAnnotationDestination(int pageIndex, int index, const PdfDestination& destination);
    // The annotations after it move down by one index.
    bool removeAnnotation(int pageIndex, int index);

    // Replaces the document's outline by the root's entries; a root without entries removes it.
    void setOutlineRoot(const PdfOutline& root);

    // Replaces the document information dictionary and the XMP metadata by these fields.
    bool setDocumentInformation(const PdfDocumentInformation& information);

    // Writes the document to path through a temporary file beside it that is renamed into place,
    // so an earlier file at path is replaced only by a complete one.
    bool write(const QString& path, QString* error = nullptr) const;
    QByteArray toBytes() const;

private:
    PdfDocument();

    QByteArray m_bytes; // qpdf reads an opened document from these bytes without copying them
    std::unique_ptr<QPDF> m_qpdf;
    std::unique_ptr<PdfLinkJumps> m_linkJumps;
};
