#pragma once

#include "platform/PdfLink.h"

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Pipeline;
class PdfHeldLinks;
class PdfLinkJumps;
class PdfMergedDestinations;
struct PdfDocumentInformation;
class PdfOutline;
class PdfSharedFonts;
class PdfSharedPageParts;
class PdfSpilledStreams;
class QPDF;

// A PDF document held in memory: opened from bytes (with a password when it is encrypted) or made
// empty, its pages listed, turned and copied into another document, their link annotations read,
// pointed at places of the document or removed, its outline read or set, and the whole written to
// a file.
class PdfDocument {
public:
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // A new document without pages.
    static std::unique_ptr<PdfDocument> create();
    // The document in these bytes, or null when they are not a readable PDF.
    static std::unique_ptr<PdfDocument> open(const QByteArray& bytes, QString* error = nullptr);
    // The document in these bytes, opened with password when it is encrypted. An encrypted document
    // that opens without a password (its user password is empty) opens whatever password is given.
    // Null when the bytes are not a readable PDF or when the password opens it neither as the user's
    // nor as the owner's; passwordRefused, when given, is set to whether it was the second case.
    static std::unique_ptr<PdfDocument> open(const QByteArray& bytes, const QString& password,
                                             bool* passwordRefused, QString* error = nullptr);
    bool isEncrypted() const;
    // Whether printing (at any resolution) is allowed under the password that opened the document:
    // always for an unencrypted document or when the owner's password opened it.
    bool allowsPrinting() const;

    int pageCount() const;
    // Appends a copy of the source's page at index. The copy is complete at once: the source
    // may be destroyed right afterwards, so only the pages kept stay in memory.
    // Links of the copied page that jump to a named place of the source keep where that place
    // lies: see PdfLinkAnnotation::jumpTarget.
    // The copy carries the page's rotation and boxes, also those it inherits from its page tree.
    bool appendPageCopy(const PdfDocument& source, int index, QString* error = nullptr);
    // From now on, pages copied in share one font per face instead of each bringing its own
    // subsets (see PdfSharedFonts); the source documents' pages lose their shareable fonts. And
    // what the pages repeat from one to the next, their resources and boxes, is held once (see
    // PdfSharedPageParts).
    void shareFontsOfCopiedPages();
    // From now on, the named places of copied pages come with them, so the links that name them
    // keep leading there (see PdfMergedDestinations).
    void keepNamedDestinationsOfCopiedPages();

    // From now on, the content of pages copied in waits for the write in a temporary file rather
    // than in memory (see PdfSpilledStreams). The document reads and writes the same.
    void spillCopiedContents();

    // Every place the document names that lies on one of its pages, with the point of an /XYZ
    // destination (the left edge at the top of the page's crop box for its other kinds and where
    // a number is missing). Names that lead nowhere are left out.
    std::vector<PdfNamedPlace> namedPlaces() const;
    // Moves the named place to another page and point; links that name it then lead there, also
    // from pages copied afterwards. False when the name stands for no place or the page does not exist.
    bool moveNamedPlace(const std::string& name, const PdfDestination& place);

    // The page's rotation (its own /Rotate or the one it inherits) normalised to 0, 90, 180 or 270;
    // 0 for a page that does not exist.
    int pageRotation(int pageIndex) const;
    // Sets the page's rotation; degrees must be a multiple of 90 (any sign; stored normalised to
    // 0..270). False, changing nothing, for another value or a page that does not exist.
    bool setPageRotation(int pageIndex, int degrees);
    // The page's crop box (its own or inherited, else its media box) in default user space; an empty
    // rectangle for a page that does not exist.
    QRectF cropBox(int pageIndex) const;

    // Annotations of a page, by their index in the page's annotation list. Out-of-range pages
    // have none; setting or removing out of range does nothing and returns false.
    int annotationCount(int pageIndex) const;
    PdfLinkAnnotation annotationAt(int pageIndex, int index) const;
    // The annotation then jumps to the point of the destination's page (which must exist).
    bool setAnnotationDestination(int pageIndex, int index, const PdfDestination& destination);
    // The annotations after it move down by one index.
    bool removeAnnotation(int pageIndex, int index);

    // From now on, links of copied pages that lead into the document itself are held outside the
    // document's objects, as small records, until the document is written: those whose URI action
    // target passes isInternal and those that jump to a named place of their printed document.
    // They are no longer among the page's annotations above but among its held links below, and
    // each is written in its printed place among the page's annotations, leading to the
    // destination set for it, or not at all when none is set.
    void holdInternalLinks(std::function<bool(const QString& url)> isInternal);
    int heldLinkCount(int pageIndex) const;
    PdfLinkAnnotation heldLinkAt(int pageIndex, int index) const;
    bool setHeldLinkDestination(int pageIndex, int index, const std::optional<PdfDestination>& destination);
    // What the held links keep in memory (beyond a block of records waiting for their file): it
    // grows with the distinct targets, not with the links.
    qint64 heldLinkMemoryBytes() const;

    // The document's own outline (/Outlines) as a root whose entries mirror it in order and depth:
    // each with its title and, when its destination (/Dest, named or explicit, or a GoTo action)
    // names a page of this document, that page's index and point (an /XYZ destination's left and
    // top where given, otherwise the left edge at the top of the page's crop box). A root without
    // entries when the document has no outline. Loops in the outline tree end where an entry comes
    // round again, and entries nested deeper than a reader could use are left out.
    PdfOutline outline() const;
    // Replaces the document's outline by the root's entries; a root without entries removes it.
    void setOutlineRoot(const PdfOutline& root);

    // Replaces the document information dictionary and the XMP metadata by these fields.
    bool setDocumentInformation(const PdfDocumentInformation& information);

    // Writes the document to path through a temporary file beside it that is renamed into place,
    // so an earlier file at path is replaced only by a complete one.
    bool write(const QString& path, QString* error = nullptr) const;
    QByteArray toBytes() const;

private:
    enum class LoadResult {
        Opened,
        PasswordRefused,
        Unreadable
    };

    PdfDocument();
    // Reads m_bytes into a fresh QPDF with this password (bytes as the document's handler takes them).
    LoadResult load(const std::string& password, QString* error);
    // The shared fonts' programs, widths and text maps, cut before every write.
    bool completeSharedFonts(QString* error = nullptr) const;
    // The whole document with its held links, through out, which is then finished.
    bool writeTo(Pipeline& out, QString* error) const;

    QByteArray m_bytes; // qpdf reads an opened document from these bytes without copying them
    std::unique_ptr<QPDF> m_qpdf;
    std::unique_ptr<PdfLinkJumps> m_linkJumps;
    std::unique_ptr<PdfSharedFonts> m_sharedFonts;         // null: copied pages keep their own fonts
    std::unique_ptr<PdfSharedPageParts> m_sharedPageParts; // null: copied pages keep their own parts
    std::unique_ptr<PdfHeldLinks> m_heldLinks;             // null: copied pages keep their links as objects
    // null: the named places of copied pages stay behind
    std::unique_ptr<PdfMergedDestinations> m_mergedDestinations;
    // null: copied pages keep their content in memory
    std::unique_ptr<PdfSpilledStreams> m_spilledStreams;
};
