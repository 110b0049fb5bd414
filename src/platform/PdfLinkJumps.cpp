#include "platform/PdfLinkJumps.h"

#include "platform/PdfNamedDestinations.h"

#include <qpdf/QPDFPageObjectHelper.hh>

#include <exception>

namespace {

// The named destination a link jumps to: its /Dest, or the /D of a GoTo action.
QPDFObjectHandle destinationName(QPDFObjectHandle link)
{
    QPDFObjectHandle destination = PdfNamedDestinations::targetOf(link);
    return destination.isName() || destination.isString() ? destination : QPDFObjectHandle::newNull();
}

bool isLinkAnnotation(QPDFObjectHandle annotation)
{
    return annotation.isDictionary() && annotation.getKey("/Subtype").isNameAndEquals("/Link");
}

} // namespace

std::optional<PdfLinkJumps::Jump> PdfLinkJumps::lookUp(QPDF& source, QPDFObjectHandle link)
{
    QPDFObjectHandle name = destinationName(link);
    if (name.isNull())
        return std::nullopt;
    QPDFObjectHandle destination = PdfNamedDestinations(source).resolve(name);
    if (!destination.isArray() || destination.getArrayNItems() < 2)
        return Jump{source.getUniqueId(), -1, 0, std::nullopt};
    Jump jump;
    jump.source = source.getUniqueId();
    QPDFObjectHandle page = destination.getArrayItem(0);
    if (page.isIndirect()) {
        try {
            jump.sourcePage = source.findPage(page.getObjGen());
        } catch (const std::exception&) {
            jump.sourcePage = -1; // not a page of this document
        }
    }
    QPDFObjectHandle kind = destination.getArrayItem(1);
    auto number = [&destination](int at) -> std::optional<double> {
        QPDFObjectHandle item = destination.getArrayItem(at);
        return item.isNumber() ? std::optional<double>(item.getNumericValue()) : std::nullopt;
    };
    if (kind.isNameAndEquals("/XYZ")) {
        jump.left = number(2).value_or(0);
        jump.top = number(3);
    } else if (kind.isNameAndEquals("/FitH") || kind.isNameAndEquals("/FitBH")) {
        jump.top = number(2);
    }
    return jump;
}

void PdfLinkJumps::pageCopied(QPDF& source, int sourcePage, QPDF& output, QPDFObjectHandle copiedPage, int outputPage)
{
    m_copiedPages[{source.getUniqueId(), sourcePage}] = outputPage;
    QPDFObjectHandle annotations = copiedPage.getKey("/Annots");
    if (!annotations.isArray())
        return;
    for (int index = 0; index < annotations.getArrayNItems(); ++index) {
        QPDFObjectHandle annotation = annotations.getArrayItem(index);
        if (!isLinkAnnotation(annotation))
            continue;
        // The copied link still names its place; the name is looked up in the source's catalog.
        std::optional<Jump> jump = lookUp(source, annotation);
        if (!jump)
            continue;
        if (!annotation.isIndirect()) {
            annotation = output.makeIndirectObject(annotation);
            annotations.setArrayItem(index, annotation);
        }
        m_jumps[annotation.getObjGen()] = *jump;
    }
}

std::optional<PdfDestination> PdfLinkJumps::targetOf(QPDFObjGen annotation, QPDF& output) const
{
    const auto jump = m_jumps.find(annotation);
    if (jump == m_jumps.end())
        return std::nullopt;
    return targetOf(jump->second, output);
}

std::optional<PdfDestination> PdfLinkJumps::targetOf(const Jump& jump, QPDF& output) const
{
    const auto copied = m_copiedPages.find({jump.source, jump.sourcePage});
    if (copied == m_copiedPages.end())
        return std::nullopt;
    const std::vector<QPDFObjectHandle>& pages = output.getAllPages();
    if (copied->second < 0 || static_cast<size_t>(copied->second) >= pages.size())
        return std::nullopt;
    double top = 0;
    if (jump.top) {
        top = *jump.top;
    } else {
        // Without a height of its own the place is the top of its page.
        QPDFObjectHandle page = pages[static_cast<size_t>(copied->second)];
        QPDFObjectHandle box = QPDFPageObjectHelper(page).getMediaBox();
        if (box.isRectangle())
            top = box.getArrayAsRectangle().ury;
    }
    return PdfDestination{copied->second, QPointF(jump.left, top)};
}
