#include "platform/PdfDocument.h"

#include "platform/PdfLinkJumps.h"
#include "platform/PdfLinkObjects.h"

#include <exception>

// The link annotations of a document's pages: read, pointed at a place of the document, removed.

namespace {

// The page's annotation list, or null when the page or the list does not exist.
QPDFObjectHandle annotationsOf(QPDF& document, int pageIndex)
{
    const std::vector<QPDFObjectHandle>& pages = document.getAllPages();
    if (pageIndex < 0 || static_cast<size_t>(pageIndex) >= pages.size())
        return QPDFObjectHandle::newNull();
    QPDFObjectHandle page = pages[static_cast<size_t>(pageIndex)];
    QPDFObjectHandle annotations = page.getKey("/Annots");
    return annotations.isArray() ? annotations : QPDFObjectHandle::newNull();
}

QPDFObjectHandle annotationOf(QPDF& document, int pageIndex, int index)
{
    QPDFObjectHandle annotations = annotationsOf(document, pageIndex);
    if (annotations.isNull() || index < 0 || index >= annotations.getArrayNItems())
        return QPDFObjectHandle::newNull();
    return annotations.getArrayItem(index);
}

} // namespace

int PdfDocument::annotationCount(int pageIndex) const
{
    try {
        QPDFObjectHandle annotations = annotationsOf(*m_qpdf, pageIndex);
        return annotations.isNull() ? 0 : annotations.getArrayNItems();
    } catch (const std::exception&) {
        return 0;
    }
}

PdfLinkAnnotation PdfDocument::annotationAt(int pageIndex, int index) const
{
    PdfLinkAnnotation link;
    try {
        QPDFObjectHandle annotation = annotationOf(*m_qpdf, pageIndex, index);
        if (!PdfLinkObjects::isLinkAnnotation(annotation))
            return link;
        link.isLink = true;
        link.url = PdfLinkObjects::uriOf(annotation);
        if (annotation.isIndirect() && m_linkJumps->isJump(annotation.getObjGen())) {
            link.jumpsInDocument = true;
            link.jumpTarget = m_linkJumps->targetOf(annotation.getObjGen(), *m_qpdf);
        }
    } catch (const std::exception&) {
        return PdfLinkAnnotation();
    }
    return link;
}

bool PdfDocument::setAnnotationDestination(int pageIndex, int index, const PdfDestination& destination)
{
    try {
        QPDFObjectHandle annotation = annotationOf(*m_qpdf, pageIndex, index);
        const std::vector<QPDFObjectHandle>& pages = m_qpdf->getAllPages();
        if (!annotation.isDictionary() || destination.pageIndex < 0
            || static_cast<size_t>(destination.pageIndex) >= pages.size())
            return false;
        annotation.removeKey("/A");
        annotation.replaceKey("/Dest", QPDFObjectHandle::newArray({
                                           pages[static_cast<size_t>(destination.pageIndex)],
                                           QPDFObjectHandle::newName("/XYZ"),
                                           QPDFObjectHandle::newReal(destination.point.x(), 2),
                                           QPDFObjectHandle::newReal(destination.point.y(), 2),
                                           QPDFObjectHandle::newNull(),
                                       }));
        if (annotation.isIndirect())
            m_linkJumps->forget(annotation.getObjGen());
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool PdfDocument::removeAnnotation(int pageIndex, int index)
{
    try {
        QPDFObjectHandle annotations = annotationsOf(*m_qpdf, pageIndex);
        if (annotations.isNull() || index < 0 || index >= annotations.getArrayNItems())
            return false;
        QPDFObjectHandle annotation = annotations.getArrayItem(index);
        if (annotation.isIndirect())
            m_linkJumps->forget(annotation.getObjGen());
        annotations.eraseItem(index);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}
