#include "toolkit/text/CharacterProperties.h"

#include "toolkit/text/TextDocumentWalk.h"

#include <QFont>
#include <QStringList>

QTextCharFormat CharacterProperties::format() const
{
    QTextCharFormat result;
    if (font && !font->isEmpty())
        result.setFontFamilies(QStringList{*font});
    if (pointSize && *pointSize > 0)
        result.setFontPointSize(*pointSize);
    if (bold && *bold)
        result.setFontWeight(QFont::Bold);
    if (italic && *italic)
        result.setFontItalic(true);
    if (underline && *underline)
        result.setFontUnderline(true);
    if (strike && *strike)
        result.setFontStrikeOut(true);
    if (color)
        result.setForeground(*color);
    if (background)
        result.setBackground(*background);
    if (vertical == 1)
        result.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (vertical == 2)
        result.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    return result;
}

CharacterProperties CharacterProperties::OfFormat(const QTextCharFormat& format)
{
    CharacterProperties props;
    const QString family = TextDocumentWalk::FontFamily(format);
    if (!family.isEmpty())
        props.font = family;
    if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
        props.pointSize = format.fontPointSize();
    if (format.hasProperty(QTextFormat::FontWeight) && format.fontWeight() >= QFont::DemiBold)
        props.bold = true;
    if (format.fontItalic())
        props.italic = true;
    if (format.fontUnderline())
        props.underline = true;
    if (format.fontStrikeOut())
        props.strike = true;
    if (format.hasProperty(QTextFormat::ForegroundBrush))
        props.color = format.foreground().color();
    if (format.hasProperty(QTextFormat::BackgroundBrush))
        props.background = format.background().color();
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        props.vertical = 1;
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        props.vertical = 2;
    return props;
}
