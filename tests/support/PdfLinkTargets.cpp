#include "support/PdfLinkTargets.h"

#include <GlobalParams.h>
#include <Link.h>
#include <PDFDoc.h>
#include <Page.h>
#include <Stream.h>

#include <memory>

namespace PdfLinkTargets {
namespace {

std::optional<Target> targetOf(PDFDoc& document, const LinkGoTo& jump)
{
    std::unique_ptr<LinkDest> named;
    const LinkDest* destination = jump.getDest();
    if (!destination && jump.getNamedDest()) {
        named = document.findDest(jump.getNamedDest());
        destination = named.get();
    }
    if (!destination || !destination->isOk())
        return std::nullopt;
    const int page = destination->isPageRef() ? document.findPage(destination->getPageRef()) : destination->getPageNum();
    if (page < 1 || page > document.getNumPages())
        return std::nullopt;
    return Target{page - 1, destination->getLeft(), destination->getTop()};
}

} // namespace

std::vector<std::vector<std::optional<Target>>> ofPages(const QByteArray& pdf)
{
    if (!globalParams)
        globalParams = std::make_unique<GlobalParams>();
    PDFDoc document(new MemStream(pdf.constData(), 0, pdf.size(), Object(objNull)));
    std::vector<std::vector<std::optional<Target>>> pages;
    if (!document.isOk())
        return pages;
    for (int number = 1; number <= document.getNumPages(); ++number) {
        std::vector<std::optional<Target>>& targets = pages.emplace_back();
        // Read from the annotation dictionaries as Poppler's link annotations read them: the
        // sanitizer's type checks would need AnnotLink's type information, which Poppler keeps.
        const Object annotations = document.getPage(number)->getAnnotsObject();
        for (int index = 0; annotations.isArray() && index < annotations.arrayGetLength(); ++index) {
            const Object annotation = annotations.arrayGet(index);
            if (!annotation.isDict() || !annotation.dictLookup("Subtype").isName("Link"))
                continue;
            std::unique_ptr<LinkAction> action;
            const Object destination = annotation.dictLookup("Dest");
            if (!destination.isNull()) {
                action = LinkAction::parseDest(&destination);
            } else {
                const Object goTo = annotation.dictLookup("A");
                if (goTo.isDict())
                    action = LinkAction::parseAction(&goTo);
            }
            if (action && action->getKind() == actionGoTo)
                targets.push_back(targetOf(document, *static_cast<const LinkGoTo*>(action.get())));
        }
    }
    return pages;
}

} // namespace PdfLinkTargets
