#pragma once

#include <QString>

#include <optional>

// The store's lookup answer is read with a small scan for one key's value instead of a JSON
// parser: the first quoted occurrence of the key, the text from its colon to the next comma,
// quotes stripped and JSON string escapes decoded.
std::optional<QString> ScanJSONValueForKey(const QString& key, const QString& json);
