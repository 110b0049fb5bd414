#pragma once

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDFObjectHandle.hh>

#include <QString>

// Reading a link annotation as the engine prints it, for the places that take links off pages and
// those that put them back.
namespace PdfLinkObjects {

// Whether an annotation is a link (the subtype's case is not trusted).
bool isLinkAnnotation(QPDFObjectHandle annotation);

// The URL of a link's URI action; null when it has none.
QString uriOf(QPDFObjectHandle annotation);

} // namespace PdfLinkObjects
