#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

class QTextDocument;

// HTML files and web archives read through QTextDocument's HTML importer. Nothing is fetched from
// the network: pictures come from local files beside the page or from the archive's resources.
namespace HTMLReader {

// The page's bytes in the character set its byte order mark or meta tag names; UTF-8 when valid;
// Windows-1252 otherwise. Relative pictures are looked up from baseURL.
bool ReadHTML(const QByteArray& html, const QUrl& baseURL, QTextDocument& document, QString* error = nullptr);

// A web archive (binary or XML property list): its main resource, with the pictures among its
// sub-resources.
bool ReadWebArchive(const QByteArray& archive, QTextDocument& document, QString* error = nullptr);

} // namespace HTMLReader
