#pragma once

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QVariantMap>

class QTextDocument;

// The text attributes dictionary of the toolkit's records: the keys of the platform's attributed
// strings, with Qt values. A key without a value of its type is ignored.
namespace TextAttributes {

inline const QString kFont = QStringLiteral("NSFont");                        // QFont
inline const QString kForegroundColor = QStringLiteral("NSColor");            // QColor
inline const QString kBackgroundColor = QStringLiteral("NSBackgroundColor");  // QColor
inline const QString kUnderlineStyle = QStringLiteral("NSUnderline");         // int, 0 none
inline const QString kStrikethroughStyle = QStringLiteral("NSStrikethrough"); // int, 0 none
inline const QString kKern = QStringLiteral("NSKern");                        // double, points between letters
inline const QString kSuperscript = QStringLiteral("NSSuperScript");          // int, > 0 raised, < 0 lowered
inline const QString kParagraphStyle = QStringLiteral("NSParagraphStyle");    // QTextBlockFormat

// The character format the dictionary describes; only the properties it names are set.
QTextCharFormat CharFormat(const QVariantMap& attributes);

// Adds the attributes over the whole text: a named property replaces the text's own (a font
// replaces family, size, weight and style together); the others stay.
void ApplyToDocument(QTextDocument& document, const QVariantMap& attributes);

} // namespace TextAttributes
