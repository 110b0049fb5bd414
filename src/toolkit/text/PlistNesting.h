#pragma once

#include <QByteArray>

// How deeply a property list nests its arrays and dictionaries, measured without building it: the
// parser that builds it recurses once per level, so an untrusted list is measured first.
namespace PlistNesting {

// True when the binary or XML property list nests no deeper than maxDepth and (binary) its object
// table is sound and free of cycles. False for anything else, malformed lists included.
bool IsWithin(const QByteArray& plist, int maxDepth);

} // namespace PlistNesting
