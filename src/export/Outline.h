#pragma once

#include "chm/LinkItem.h"
#include "export/LinkResolution.h"
#include "platform/PdfOutline.h"

// The outline of the output document, entry for entry and in the same order as the contents
// tree under root (whose own node is not shown). An entry opens the place the lookup gives for
// "itss://chm/" + its path, and is a plain label when there is none.
PdfOutline OutlineForContents(const LinkItem& root, const DestinationLookup& lookup);

// Adds the item's entry under parent (none for the root, whose children then go under parent
// itself), then its children's, recursively.
void AddBookmark(const LinkItem& item, PdfOutline& parent, bool isRootBookmark, const DestinationLookup& lookup);
