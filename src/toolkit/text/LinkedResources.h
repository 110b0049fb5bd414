#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QUrl>

class QTextDocument;

// What a page read through Qt's HTML importer may take from the disk: pictures and style sheets
// that are regular files inside the page's own folder (after links are followed), each within the
// bounds of an embedded object and all together within the linked-resource bound. Anything else (an
// absolute path elsewhere, "../", a device, a file URL to another folder, a web address) is left out,
// as is everything for a page that has no folder (a web archive, whose pictures are its own).
namespace LinkedResources {

// Sets the page on the document. Qt's own loading reads any local file a page names, so the page
// is read into a document that loads under the rule and copied over; the pictures it may show go
// with it, decoded, and pictures it may not show are left out instead of standing as placeholders.
// folder empty: nothing is loaded from the disk. ownResources are the page's own (an archive's),
// by URL.
void SetHtml(QTextDocument& document, const QString& html, const QUrl& baseURL, const QString& folder,
             const QHash<QUrl, QByteArray>& ownResources = {});

} // namespace LinkedResources
