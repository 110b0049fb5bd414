#include "toolkit/text/DOCXProperties.h"

#include "toolkit/text/WordProcessingML.h"
#include "toolkit/text/XmlTree.h"

#include <QFont>

namespace DOCXProperties {

using namespace WordProcessingML;
using XmlTree::Attribute;
using XmlTree::Child;
using XmlTree::Is;

namespace {

std::optional<double> Twips(const xmlNode* node, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        bool ok = false;
        const double value = Attribute(node, name, kW).toDouble(&ok);
        if (ok)
            return value / 20.0;
    }
    return std::nullopt;
}

std::optional<QColor> HexColor(const QString& value)
{
    if (value.size() != 6)
        return std::nullopt;
    const QColor color(QLatin1Char('#') + value);
    return color.isValid() ? std::optional<QColor>(color) : std::nullopt;
}

} // namespace

std::optional<bool> Toggle(const xmlNode* node)
{
    if (!node)
        return std::nullopt;
    const QString value = Attribute(node, "val", kW).toLower();
    return !(value == QLatin1String("0") || value == QLatin1String("false") || value == QLatin1String("off"));
}

std::optional<int> IntegerValue(const xmlNode* node, const char* name)
{
    if (!node)
        return std::nullopt;
    bool ok = false;
    const int value = Attribute(node, name, kW).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

RunProps ParseRunProps(const xmlNode* rPr)
{
    RunProps props;
    if (!rPr)
        return props;
    for (const xmlNode* child = rPr->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE || !Is(child, reinterpret_cast<const char*>(child->name), kW))
            continue;
        const QByteArray name(reinterpret_cast<const char*>(child->name));
        if (name == "rFonts") {
            for (const char* attribute : {"ascii", "hAnsi", "cs", "eastAsia"}) {
                const QString font = Attribute(child, attribute, kW);
                if (!font.isEmpty()) {
                    props.font = font;
                    break;
                }
            }
        } else if (name == "sz") {
            const auto halfPoints = IntegerValue(child);
            props.pointSize = halfPoints ? std::optional<double>(*halfPoints / 2.0) : std::nullopt;
        } else if (name == "b") {
            props.bold = Toggle(child);
        } else if (name == "i") {
            props.italic = Toggle(child);
        } else if (name == "u") {
            const QString value = Attribute(child, "val", kW);
            props.underline = value != QLatin1String("none") && value != QLatin1String("0");
        } else if (name == "strike" || name == "dstrike") {
            props.strike = Toggle(child);
        } else if (name == "color") {
            props.color = HexColor(Attribute(child, "val", kW));
        } else if (name == "shd") {
            props.background = HexColor(Attribute(child, "fill", kW));
        } else if (name == "highlight") {
            const QColor color(Attribute(child, "val", kW).toLower());
            if (color.isValid())
                props.background = color;
        } else if (name == "vertAlign") {
            const QString value = Attribute(child, "val", kW);
            props.vertical = value == QLatin1String("superscript") ? 1 : value == QLatin1String("subscript") ? 2
                                                                                                             : 0;
        } else if (name == "rStyle") {
            props.style = Attribute(child, "val", kW);
        }
    }
    return props;
}

ParagraphProps ParseParagraphProps(const xmlNode* pPr)
{
    ParagraphProps props;
    if (!pPr)
        return props;
    for (const xmlNode* child = pPr->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE || !Is(child, reinterpret_cast<const char*>(child->name), kW))
            continue;
        const QByteArray name(reinterpret_cast<const char*>(child->name));
        if (name == "pStyle") {
            props.style = Attribute(child, "val", kW);
        } else if (name == "jc") {
            const QString value = Attribute(child, "val", kW);
            if (value == QLatin1String("center"))
                props.alignment = Qt::AlignHCenter;
            else if (value == QLatin1String("right") || value == QLatin1String("end"))
                props.alignment = Qt::AlignRight;
            else if (value == QLatin1String("both") || value == QLatin1String("distribute"))
                props.alignment = Qt::AlignJustify;
            else
                props.alignment = Qt::AlignLeft;
        } else if (name == "outlineLvl") {
            props.outline = IntegerValue(child);
        } else if (name == "pageBreakBefore") {
            props.pageBreakBefore = Toggle(child);
        } else if (name == "numPr" || name == "listPr") {
            if (const auto level = IntegerValue(Child(child, "ilvl", kW)))
                props.level = level;
            const xmlNode* id = Child(child, name == "numPr" ? "numId" : "ilfo", kW);
            if (id)
                props.numId = Attribute(id, "val", kW);
        } else if (name == "ind") {
            props.left = Twips(child, {"left", "start"});
            props.right = Twips(child, {"right", "end"});
            if (const auto hanging = Twips(child, {"hanging"}))
                props.firstLine = -*hanging;
            else
                props.firstLine = Twips(child, {"firstLine"});
        } else if (name == "spacing") {
            props.before = Twips(child, {"before"});
            props.after = Twips(child, {"after"});
        }
    }
    return props;
}

QTextListFormat::Style ListStyleOfFormat(const QString& format)
{
    return ListStyleOfName(kNumberFormats, format).value_or(QTextListFormat::ListDisc);
}

} // namespace DOCXProperties
