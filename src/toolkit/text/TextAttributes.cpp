#include "toolkit/text/TextAttributes.h"

#include <QColor>
#include <QFont>
#include <QTextCursor>
#include <QTextDocument>

namespace TextAttributes {

QTextCharFormat CharFormat(const QVariantMap& attributes)
{
    QTextCharFormat format;
    const QVariant font = attributes.value(kFont);
    if (font.typeId() == QMetaType::QFont)
        format.setFont(font.value<QFont>(), QTextCharFormat::FontPropertiesAll);
    const QVariant foreground = attributes.value(kForegroundColor);
    if (foreground.typeId() == QMetaType::QColor)
        format.setForeground(foreground.value<QColor>());
    const QVariant background = attributes.value(kBackgroundColor);
    if (background.typeId() == QMetaType::QColor)
        format.setBackground(background.value<QColor>());
    bool ok = false;
    const int underline = attributes.value(kUnderlineStyle).toInt(&ok);
    if (ok)
        format.setFontUnderline(underline != 0);
    const int strike = attributes.value(kStrikethroughStyle).toInt(&ok);
    if (ok)
        format.setFontStrikeOut(strike != 0);
    const double kern = attributes.value(kKern).toDouble(&ok);
    if (ok) {
        format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        format.setFontLetterSpacing(kern);
    }
    const int superscript = attributes.value(kSuperscript).toInt(&ok);
    if (ok)
        format.setVerticalAlignment(superscript > 0   ? QTextCharFormat::AlignSuperScript
                                    : superscript < 0 ? QTextCharFormat::AlignSubScript
                                                      : QTextCharFormat::AlignNormal);
    return format;
}

void ApplyToDocument(QTextDocument& document, const QVariantMap& attributes)
{
    if (attributes.isEmpty())
        return;
    QTextCursor cursor(&document);
    cursor.select(QTextCursor::Document);
    cursor.beginEditBlock();
    const QTextCharFormat format = CharFormat(attributes);
    if (!format.properties().isEmpty()) {
        cursor.mergeCharFormat(format);
        // the paragraphs' own character formats, which empty paragraphs show, follow too
        cursor.mergeBlockCharFormat(format);
    }
    const QVariant paragraph = attributes.value(kParagraphStyle);
    if (paragraph.canConvert<QTextBlockFormat>())
        cursor.mergeBlockFormat(paragraph.value<QTextBlockFormat>());
    cursor.endEditBlock();
}

} // namespace TextAttributes
