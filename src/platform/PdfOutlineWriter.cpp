#include "platform/PdfDocument.h"

#include "platform/PdfOutline.h"

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>

#include <exception>

// The document outline as PDF objects: an /Outlines dictionary whose entries are chained through
// /First, /Last, /Prev and /Next, each with its /Parent.

namespace {

QPDFObjectHandle destinationArray(QPDF& document, const PdfDestination& destination)
{
    const std::vector<QPDFObjectHandle>& pages = document.getAllPages();
    if (destination.pageIndex < 0 || static_cast<size_t>(destination.pageIndex) >= pages.size())
        return QPDFObjectHandle::newNull();
    return QPDFObjectHandle::newArray({
        pages[static_cast<size_t>(destination.pageIndex)],
        QPDFObjectHandle::newName("/XYZ"),
        QPDFObjectHandle::newReal(destination.point.x(), 2),
        QPDFObjectHandle::newReal(destination.point.y(), 2),
        QPDFObjectHandle::newNull(),
    });
}

// Adds the entries under node (an indirect dictionary). Entries with children show closed, so a large contents tree opens one level at a time.
void addEntries(QPDF& document, QPDFObjectHandle node, const PdfOutline& outline)
{
    QPDFObjectHandle previous = QPDFObjectHandle::newNull();
    for (const PdfOutline& child : outline.children()) {
        QPDFObjectHandle entry = document.makeIndirectObject(QPDFObjectHandle::newDictionary());
        entry.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(child.label().toStdString()));
        entry.replaceKey("/Parent", node);
        if (child.destination()) {
            QPDFObjectHandle destination = destinationArray(document, *child.destination());
            if (!destination.isNull())
                entry.replaceKey("/Dest", destination);
        }
        if (previous.isNull()) {
            node.replaceKey("/First", entry);
        } else {
            previous.replaceKey("/Next", entry);
            entry.replaceKey("/Prev", previous);
        }
        node.replaceKey("/Last", entry);
        if (!child.children().empty()) {
            addEntries(document, entry, child);
            entry.replaceKey("/Count", QPDFObjectHandle::newInteger(-static_cast<long long>(child.children().size())));
        }
        previous = entry;
    }
}

} // namespace

void PdfDocument::setOutlineRoot(const PdfOutline& root)
{
    try {
        QPDFObjectHandle catalog = m_qpdf->getRoot();
        if (root.children().empty()) {
            catalog.removeKey("/Outlines");
            return;
        }
        QPDFObjectHandle outlines = m_qpdf->makeIndirectObject(QPDFObjectHandle::newDictionary());
        outlines.replaceKey("/Type", QPDFObjectHandle::newName("/Outlines"));
        addEntries(*m_qpdf, outlines, root);
        // The top level is open: its entries are the ones shown.
        outlines.replaceKey("/Count", QPDFObjectHandle::newInteger(static_cast<long long>(root.children().size())));
        catalog.replaceKey("/Outlines", outlines);
    } catch (const std::exception& e) {
        qWarning("Cannot set the outline: %s", e.what());
    }
}
