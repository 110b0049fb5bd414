#pragma once

#include <QByteArray>
#include <QVariant>

#include <optional>

// XML property lists as Qt values: a dictionary is a QVariantMap, an array a QVariantList, a string
// a QString, an integer a qlonglong, a real a double, a boolean a bool, data a QByteArray and a
// date a QDateTime.
//
// Property-list files can be edited by hand, so reading is defensive: anything that is not a
// well-formed XML property list of reasonable size (a NUL byte anywhere included) reads as nothing, and containers nested
// deeper than any of this application's files drop out rather than exhaust the stack.
namespace PlistVariant {

inline constexpr qsizetype kMaximumBytes = 1 << 20;
inline constexpr int kMaximumDepth = 16;

std::optional<QVariant> fromXml(const QByteArray& xml);

// An XML property list of the value; empty when the value holds nothing a property list can carry.
QByteArray toXml(const QVariant& value);

} // namespace PlistVariant
