#pragma once

#include <QString>
#include <QUrl>

#include <memory>
#include <string>

// Text of Qt strings and URLs as standard or NUL-terminated UTF-8 strings, for code that takes C strings.
namespace WBQUtil {

// The last component of the URL's path without its last extension. ok (when given) is false, and the result
// empty, when the URL has no path.
std::string GetFileBaseNameString(const QUrl& url, bool* ok = nullptr);

// The string's UTF-8 text; "" for a null string.
std::string NSStringToStdString(const QString& string);

// The URL's whole path (a local file's path, decoded), with ok as for GetFileBaseNameString.
std::string GetURLPathString(const QUrl& url, bool* ok = nullptr);

// New NUL-terminated copies, owned by the caller; null when there is no text (no path, an empty string).
std::unique_ptr<char[]> CopyURLPathCString(const QUrl& url);
std::unique_ptr<char[]> CopyNSStringCString(const QString& string);

} // namespace WBQUtil
