#pragma once

#include <QString>

// The keys under which the export files its destinations, always lower-cased, so that links and
// contents entries find a destination whatever the case they spell it in.
namespace AnchorKeys {

// The URL a topic is loaded and printed under: "itss://chm/<path>", leading slashes of the path
// dropped ("/x.htm" is served as "itss://chm/x.htm", and other topics link to it so).
QString topicUrl(const QString& topicPath);
// The topic's URL lower-cased.
QString topicKey(const QString& topicPath);
// The topic's key with its fragment (the path may carry one of its own) replaced by "#<name>".
QString anchorKey(const QString& topicPath, const QString& anchorName);

} // namespace AnchorKeys
