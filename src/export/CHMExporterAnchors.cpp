#include "export/CHMExporter.h"

// A topic's anchors: after its print, the destination of the topic itself and of each named
// element are recorded with their offsets in the page's text; while its pages are appended, each
// pending destination is placed on the output page and point where its text lies. Link
// resolution and the outline read the placed destinations once every topic is done.

void CHMExporter::collectAnchors(const std::function<void()>& next)
{
    next();
}

void CHMExporter::beginAnchorPlacement(const PrintedTopic&)
{
}

void CHMExporter::placeAnchorsOnPage(const PrintedTopic&, int)
{
}

void CHMExporter::endTopicAnchors()
{
}
