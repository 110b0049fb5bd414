#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class QComboBox;

// The text-encoding popup: entries from the "textencoding" resource, a property list of groups,
// each an array of entries with a "name" (the character-set name handed to the export) and a
// "title" (the item's text). Each item's tag (its item data) is its entry's position in the list of
// names; groups are set apart by separators. The first entry stands for "use the document's own
// encoding": choosing it hands on no name.
namespace EncodingMenu {

inline const QString kResourcePath = QStringLiteral(":/textencoding.plist");

struct Entry {
    QString name;
    QString title;
};
using Groups = std::vector<std::vector<Entry>>;

// The groups of a "textencoding" property list. Anything malformed reads as no groups; a group
// that is not an array, or an entry that is not a dictionary with string "name" and "title", is
// left out.
Groups parseGroups(const QByteArray& plistXml);

} // namespace EncodingMenu

// Appends the resource's entries to the popup after the items it already has, and their names to
// encodingNames. A missing or malformed resource adds nothing.
void initEncodingMenu(QComboBox& popup, QStringList& encodingNames,
                      const QString& resourcePath = EncodingMenu::kResourcePath);

// The chosen encoding name, or a null string when the document's own encoding is to be used (the
// first entry, no selection, or an item whose tag names no entry).
QString GetCurrentEncodingName(const QComboBox& popup, const QStringList& encodingNames);
