#pragma once

#include "export/TopicText.h"

#include <QString>
#include <QVariant>

#include <optional>

// The walk over a printed topic's DOM that yields its text and named elements.
//
// The walk runs as one script in a world apart from the topic's own scripts and answers, as JSON,
// the page's leaf texts and anchor names in document order; the byte offsets of the anchors are
// counted here, in UTF-8, as the printed pages' words will be matched in UTF-8.
namespace DOMTextWalk {

// From the first "body" element and its following siblings, depth first:
// - an element's first "name" or "id" attribute (in attribute order, any case) names an anchor
//   whose offset is where the element's text begins; an element without text of its own that
//   comes after text in its line is marked as following that text; for the others the walk
//   measures how far their box begins before their first printed text (padding, a banner, an
//   empty block above it), and how far below the last printed text before them, so that a link
//   to a container opens where the container begins; and whether they print words of their own
//   before their text (generated content, a list marker);
// - every node without children adds its text (script and style text included), except comments
//   and CDATA sections, which a reader never sees; text whose element does not print (a script, a
//   style sheet, anything hidden) is marked so;
// - an inline frame whose document can be reached adds that document's text in place of its own
//   fallback content, since its document is what prints there. Names inside frames belong to the
//   frames' own topics and are not recorded.
// A node that cannot be read ends the walk of its sibling list; the enclosing lists go on.
QString script();

// The topic's text from the script's answer; nothing when the answer is not one.
std::optional<TopicText> readResult(const QVariant& result);

} // namespace DOMTextWalk
