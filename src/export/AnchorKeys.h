#pragma once

#include <QString>

// The keys under which the export files its destinations, always lower-cased, so that links and
// contents entries find a destination whatever the case they spell it in.
namespace AnchorKeys {

// "itss://chm/<path>" of a topic.
QString topicKey(const QString& topicPath);
// The topic's key with its fragment (the path may carry one of its own) replaced by "#<name>".
QString anchorKey(const QString& topicPath, const QString& anchorName);

} // namespace AnchorKeys
