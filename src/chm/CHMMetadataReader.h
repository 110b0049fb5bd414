#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// What a CHM file says about itself in its "/#WINDOWS", "/#STRINGS" and "/#SYSTEM" objects.
// Strings keep the null/empty distinction: null when no source gave a decodable value.
struct CHMMetadata {
    QString docTitle;     // trimmed; null when absent or empty
    QString tocPath;      // contents sitemap
    QString indexPath;    // index sitemap
    QString homePath;     // home topic; not defaulted here
    QString encodingName; // code page of the last locale record; null when none or not listed
    bool hasSystem = false;
};

namespace CHMMetadataReader {

// Tells whether an object exists in the file (used for the sitemaps named after the compiled file).
using ObjectExists = std::function<bool(const QString& path)>;

// Reads the three objects' bytes (null when missing), filling only the fields that `known` leaves
// empty, and starting from its encoding. The objects are untrusted: offsets, counts
// and lengths that point outside an object make that field or entry absent, or end the scan of
// "/#SYSTEM"; nothing is read outside the given bytes.
CHMMetadata read(const QByteArray& windows, const QByteArray& strings, const QByteArray& system,
                 const ObjectExists& exists, const CHMMetadata& known = {});

} // namespace CHMMetadataReader
