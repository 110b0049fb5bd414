#pragma once

#include <QByteArray>

// Pages written as XHTML but served, as every CHM page is, to the engine's HTML parser.
//
// XHTML closes an empty element with "/>"; the HTML parser reads "<title />" as the start of a
// title that swallows the rest of the page, and "<script ... />" or "<div/>" likewise as elements
// that are never closed. Such elements of an XHTML page are given their end tags, which is what
// the page means, so that the HTML parser builds the document an XHTML reader would.
namespace XHTMLRepair {

// An XML declaration at the start (after any byte-order mark) or the XHTML namespace on its root.
bool isXHTML(const QByteArray& page);

// Every "<name .../>" whose name is not an HTML void element becomes "<name ...></name>"; comments,
// CDATA sections and the contents of script and style elements are left as they are. Works on the
// bytes of any ASCII-compatible encoding.
QByteArray closeSelfClosedElements(const QByteArray& page);

} // namespace XHTMLRepair
