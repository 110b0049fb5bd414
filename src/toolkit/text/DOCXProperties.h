#pragma once

#include "toolkit/text/CharacterProperties.h"

#include <QString>
#include <QTextListFormat>

#include <libxml/tree.h>

#include <optional>

// The run and paragraph properties of Word's XML (direct, from styles and from defaults), merged
// in the order Word applies them.
namespace DOCXProperties {

// Word's run properties: the character formatting and the run's style.
struct RunProps : CharacterProperties {
    QString style;
};

struct ParagraphProps {
    std::optional<Qt::Alignment> alignment;
    std::optional<int> outline;
    std::optional<bool> pageBreakBefore;
    std::optional<QString> numId;
    std::optional<int> level;
    std::optional<double> left, right, firstLine, before, after;
    QString style;

    template <class Self>
    static auto Fields(Self& self)
    {
        return std::tie(self.alignment, self.outline, self.pageBreakBefore, self.numId, self.level, self.left,
                        self.right, self.firstLine, self.before, self.after);
    }

    void merge(const ParagraphProps& over) { MergeGivenFields(Fields(*this), Fields(over)); }
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
