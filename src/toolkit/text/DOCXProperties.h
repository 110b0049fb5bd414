#pragma once

#include <QColor>
#include <QString>
#include <QTextCharFormat>
#include <QTextListFormat>

#include <libxml/tree.h>

#include <optional>

// The run and paragraph properties of Word's XML (direct, from styles and from defaults), merged
// in the order Word applies them.
namespace DOCXProperties {

struct RunProps {
    std::optional<QString> font;
    std::optional<int> halfPoints;
    std::optional<bool> bold, italic, underline, strike;
    std::optional<QColor> color, background;
    std::optional<int> vertical; // 0 baseline, 1 superscript, 2 subscript
    QString style;

    void merge(const RunProps& over)
    {
        auto take = [](auto& mine, const auto& theirs) {
            if (theirs)
                mine = theirs;
        };
        take(font, over.font);
        take(halfPoints, over.halfPoints);
        take(bold, over.bold);
        take(italic, over.italic);
        take(underline, over.underline);
        take(strike, over.strike);
        take(color, over.color);
        take(background, over.background);
        take(vertical, over.vertical);
    }

    QTextCharFormat format() const
    {
        QTextCharFormat result;
        if (font && !font->isEmpty())
            result.setFontFamilies(QStringList{*font});
        if (halfPoints && *halfPoints > 0)
            result.setFontPointSize(*halfPoints / 2.0);
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
};

struct ParagraphProps {
    std::optional<Qt::Alignment> alignment;
    std::optional<int> outline;
    std::optional<bool> pageBreakBefore;
    std::optional<QString> numId;
    std::optional<int> level;
    std::optional<double> left, right, firstLine, before, after;
    QString style;

    void merge(const ParagraphProps& over)
    {
        auto take = [](auto& mine, const auto& theirs) {
            if (theirs)
                mine = theirs;
        };
        take(alignment, over.alignment);
        take(outline, over.outline);
        take(pageBreakBefore, over.pageBreakBefore);
        take(numId, over.numId);
        take(level, over.level);
        take(left, over.left);
        take(right, over.right);
        take(firstLine, over.firstLine);
        take(before, over.before);
        take(after, over.after);
    }
};

struct Style {
    QString name;
    QString basedOn;
    RunProps run;
    ParagraphProps paragraph;
};

// "0", "false" and "off" switch a property off; no value switches it on.
// Reads <w:rPr> and <w:pPr> (null gives no properties).
RunProps ParseRunProps(const xmlNode* rPr);
ParagraphProps ParseParagraphProps(const xmlNode* pPr);
// A numbering format ("decimal", "lowerRoman", ... or WordML's numbers) as a list style.
QTextListFormat::Style ListStyleOfFormat(const QString& format);
// "0", "false" and "off" switch a property off; no value switches it on.
std::optional<bool> Toggle(const xmlNode* node);
std::optional<int> IntegerValue(const xmlNode* node, const char* name = "val");

} // namespace DOCXProperties
