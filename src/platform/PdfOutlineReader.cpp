#include "platform/PdfDocument.h"

#include "platform/PdfOutline.h"

#include "platform/PdfNamedDestinations.h"

#include <exception>
#include <memory>
#include <optional>
#include <set>

// The document's own outline read back: entries chained from /Outlines through /First and /Next,
// their places resolved to pages of this document.

namespace {

// No reader shows entries nested this deep; the limit keeps hostile outlines off the stack.
constexpr int maximumDepth = 100;

class OutlineReader {
public:
    explicit OutlineReader(QPDF& document, const PdfDocument& pages)
        : m_document(document)
        , m_pages(pages)
        , m_names(document)
    {}

    // The entries chained from first, each with the entries beneath it, appended to parent.
    void readEntries(QPDFObjectHandle first, PdfOutline& parent, int depth)
    {
        if (depth > maximumDepth)
            return;
        for (QPDFObjectHandle entry = first; entry.isDictionary(); entry = entry.getKey("/Next")) {
            // An entry met before closes a loop; a direct one cannot hold itself.
            if (entry.isIndirect() && !m_seen.insert(entry.getObjGen()).second)
                return;
            PdfOutline child(titleOf(entry));
            try {
                if (std::optional<PdfDestination> destination = destinationOf(entry))
                    child.setDestination(*destination);
            } catch (const std::exception&) {
                // A place that cannot be resolved leaves a plain label.
            }
            readEntries(entry.getKey("/First"), child, depth + 1);
            parent.appendChild(std::move(child));
        }
    }

private:
    static QString titleOf(QPDFObjectHandle entry)
    {
        QPDFObjectHandle title = entry.getKey("/Title");
        return title.isString() ? QString::fromStdString(title.getUTF8Value()) : QString();
    }

    // The entry's /Dest, else the /D of its GoTo action, resolved to an explicit destination.
    std::optional<PdfDestination> destinationOf(QPDFObjectHandle entry)
    {
        QPDFObjectHandle destination = PdfNamedDestinations::targetOf(entry);
        if (destination.isName() || destination.isString())
            destination = m_names.resolve(destination);
        return explicitDestination(destination);
    }

    // [page /XYZ left top zoom] gives its point where it has one; every other kind, and a
    // missing coordinate, the top left corner of the page's crop box.
    std::optional<PdfDestination> explicitDestination(QPDFObjectHandle destination)
    {
        if (!destination.isArray() || destination.getArrayNItems() < 2)
            return std::nullopt;
        const std::optional<int> pageIndex = pageIndexOf(destination.getArrayItem(0));
        if (!pageIndex)
            return std::nullopt;
        const QRectF crop = m_pages.cropBox(*pageIndex);
        PdfDestination place{*pageIndex, QPointF(crop.left(), crop.bottom())};
        if (destination.getArrayItem(1).isNameAndEquals("/XYZ")) {
            QPDFObjectHandle left = destination.getArrayItem(2);
            QPDFObjectHandle top = destination.getArrayItem(3);
            if (left.isNumber())
                place.point.setX(left.getNumericValue());
            if (top.isNumber())
                place.point.setY(top.getNumericValue());
        }
        return place;
    }

    std::optional<int> pageIndexOf(QPDFObjectHandle page)
    {
        if (page.isIndirect()) {
            try {
                return m_document.findPage(page.getObjGen());
            } catch (const std::exception&) {
                return std::nullopt; // not a page of this document
            }
        }
        // A page number where a reference belongs: written by some tools, read by viewers.
        if (page.isInteger() && page.getIntValue() >= 0 && page.getIntValue() < m_pages.pageCount())
            return static_cast<int>(page.getIntValue());
        return std::nullopt;
    }

    QPDF& m_document;
    const PdfDocument& m_pages;
    std::set<QPDFObjGen> m_seen;
    PdfNamedDestinations m_names;
};

} // namespace

PdfOutline PdfDocument::outline() const
{
    PdfOutline root;
    try {
        QPDFObjectHandle outlines = m_qpdf->getRoot().getKey("/Outlines");
        if (outlines.isDictionary()) {
            OutlineReader reader(*m_qpdf, *this);
            reader.readEntries(outlines.getKey("/First"), root, 1);
        }
    } catch (const std::exception&) {
        // The entries read before the damage stay.
    }
    return root;
}
