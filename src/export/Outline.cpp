#include "export/Outline.h"

#include "export/AnchorKeys.h"

PdfOutline OutlineForContents(const LinkItem& root, const DestinationLookup& lookup)
{
    PdfOutline outline;
    AddBookmark(root, outline, true, lookup);
    return outline;
}

void AddBookmark(const LinkItem& item, PdfOutline& parent, bool isRootBookmark, const DestinationLookup& lookup)
{
    PdfOutline* node = &parent;
    if (!isRootBookmark) {
        PdfOutline entry(item.name());
        if (const std::optional<PdfDestination> destination = lookup(AnchorKeys::topicUrl(item.path())))
            entry.setDestination(*destination);
        node = &parent.appendChild(std::move(entry));
    }
    for (const LinkItemPtr& child : item.children()) {
        if (child)
            AddBookmark(*child, *node, false, lookup);
    }
}
