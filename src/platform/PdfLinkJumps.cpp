#include "platform/PdfLinkJumps.h"

#include "platform/PdfNamedDestinations.h"

#include <qpdf/QPDFPageObjectHelper.hh>

#include <algorithm>
#include <exception>

namespace {

// The named destination a link jumps to: its /Dest, or the /D of a GoTo action.
QPDFObjectHandle destinationName(QPDFObjectHandle link)
{
    QPDFObjectHandle destination = PdfNamedDestinations::targetOf(link);
    return destination.isName() || destination.isString() ? destination : QPDFObjectHandle::newNull();
}

// Copied pages in the order of their source and page there.
constexpr auto comesBefore = [](const auto& a, const auto& b) {
    return a.source < b.source || (a.source == b.source && a.sourcePage < b.sourcePage);
};

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
    const CopiedPage copied{source.getUniqueId(), sourcePage, outputPage};
    const auto at = std::lower_bound(m_copiedPages.begin(), m_copiedPages.end(), copied, comesBefore);
    if (at != m_copiedPages.end() && !comesBefore(copied, *at))
        at->outputPage = outputPage;
    else
        m_copiedPages.insert(at, copied);
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
    const CopiedPage* copied = copiedPage(jump.source, jump.sourcePage);
    if (copied == nullptr)
        return std::nullopt;
    const int outputPage = copied->outputPage;
    const std::vector<QPDFObjectHandle>& pages = output.getAllPages();
    if (outputPage < 0 || static_cast<size_t>(outputPage) >= pages.size())
        return std::nullopt;
    double top = 0;
    if (jump.top) {
        top = *jump.top;
    } else {
        // Without a height of its own the place is the top of its page.
        QPDFObjectHandle page = pages[static_cast<size_t>(outputPage)];
        QPDFObjectHandle box = QPDFPageObjectHelper(page).getMediaBox();
        if (box.isRectangle())
            top = box.getArrayAsRectangle().ury;
    }
    return PdfDestination{outputPage, QPointF(jump.left, top)};
}

const PdfLinkJumps::CopiedPage* PdfLinkJumps::copiedPage(unsigned long long source, int sourcePage) const
{
    const CopiedPage wanted{source, sourcePage, 0};
    const auto at = std::lower_bound(m_copiedPages.begin(), m_copiedPages.end(), wanted, comesBefore);
    if (at == m_copiedPages.end() || comesBefore(wanted, *at))
        return nullptr;
    return &*at;
}
