#pragma once

#include "platform/PdfLink.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class PdfDocument;

// Where a printed link URL or a contents entry's URL leads in the output, or nothing.
using DestinationLookup = std::function<std::optional<PdfDestination>(const QString& urlString)>;

// The destination keys a URL may be recorded under, in the order they are tried: the URL
// lower-cased, then with its percent escapes replaced, then both cut before the first "#" (so a
// link to an anchor that no topic defines leads to the top of its topic). Keys are lower-cased
// unescaped paths while printed links are escaped, so the second usually matches.
QStringList DestinationKeysForURL(const QString& urlString);

// True for the links that lead into the CHM file itself.
bool IsInternalLinkURL(const QString& urlString);

// Points every internal link of one output page at the place the lookup gives, or removes it
// when the lookup has none or hyperlinks are not exported. Links the engine printed as jumps to
// a named place of their own topic count as internal too. Links to other schemes stay as printed.
void ResolvePageLinks(PdfDocument& document, int pageIndex, bool exportHyperlinks, const DestinationLookup& lookup);

// The same for the links the document holds outside its objects (PdfDocument::holdInternalLinks),
// which are all internal: each is given the place the lookup gives, or none, and then is not written.
void ResolveHeldPageLinks(PdfDocument& document, int pageIndex, bool exportHyperlinks, const DestinationLookup& lookup);
