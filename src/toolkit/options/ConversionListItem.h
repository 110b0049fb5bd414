#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <cstdint>

// An entry of the toolkit's file lists: a dictionary of "FilePath" (a file URL), "FileType" (one of the
// codes below), "Angle" (degrees) and "Password" (text).
using ConversionListItem = QVariantMap;
using ConversionList = QList<ConversionListItem>;

namespace ConversionListKey {
inline const QString FilePath = QStringLiteral("FilePath");
inline const QString FileType = QStringLiteral("FileType");
inline const QString Angle = QStringLiteral("Angle");
inline const QString Password = QStringLiteral("Password");
} // namespace ConversionListKey

// The item's file; an empty URL when it names none.
inline QUrl ConversionListItemFile(const ConversionListItem& item)
{
    return item.value(ConversionListKey::FilePath).toUrl();
}

namespace ConversionFileType {
enum : std::uint32_t {
    Image = 1,
    TextDocument = 2,
    PDFDocument = 3,
    HTMLFile = 4
};
} // namespace ConversionFileType
