#include "toolkit/text/ODTReader.h"

#include "toolkit/text/CharacterProperties.h"
#include "toolkit/text/DocumentReading.h"
#include "toolkit/text/EmbeddedImage.h"
#include "toolkit/text/OpenDocumentText.h"
#include "toolkit/text/TextDocumentBuilder.h"
#include "toolkit/text/TextReadLimits.h"
#include "toolkit/text/XmlTree.h"
#include "toolkit/text/ZipPackage.h"

#include <QColor>
#include <QDir>
#include <QHash>
#include <QTextDocument>

#include <climits>
#include <functional>
#include <optional>
#include <string_view>

namespace ODTReader {

namespace {

using namespace OpenDocumentText;
using XmlTree::Attribute;
using XmlTree::Child;
using XmlTree::Is;

// "2.5cm", "12pt", "0.5in" in points; nothing for percentages and unknown units.
std::optional<double> Length(const QString& value)
{
    static const std::pair<const char*, double> units[] = {
        {"pt", 1.0},
        {"cm", 72.0 / 2.54},
        {"mm", 72.0 / 25.4},
        {"in", 72.0},
        {"pc", 12.0},
        {"px", 0.75},
    };
    for (const auto& [unit, factor] : units) {
        if (value.endsWith(QLatin1String(unit))) {
            bool ok = false;
            const double number = value.chopped(2).trimmed().toDouble(&ok);
            if (ok)
                return number * factor;
        }
    }
    return std::nullopt;
}

using TextProps = CharacterProperties;

struct ParagraphProps {
    std::optional<Qt::Alignment> alignment;
    std::optional<bool> breakBefore;
    std::optional<double> left, right, top, bottom, indent;
    std::optional<int> outline;

    template <class Self>
    static auto Fields(Self& self)
    {
        return std::tie(self.alignment, self.breakBefore, self.left, self.right, self.top, self.bottom, self.indent,
                        self.outline);
    }

    void merge(const ParagraphProps& over) { MergeGivenFields(Fields(*this), Fields(over)); }
};

struct Style {
    QString parent;
    QString listStyle;
    TextProps text;
    ParagraphProps paragraph;
};

class Parser {
public:
    Parser(QTextDocument& document, ZipPackageReader* package)
        : m_builder(document)
        , m_package(package)
    {
    }

    bool readPackage(QString* error);
    bool readContent(const QByteArray& xml, QString* error);

private:
    void readFontFaces(const xmlNode* declarations);
    void readStyles(const xmlNode* container);
    TextProps parseTextProps(const xmlNode* properties) const;
    static ParagraphProps parseParagraphProps(const xmlNode* properties);
    TextProps styleText(const QString& family, const QString& name, int depth = 0) const;
    ParagraphProps styleParagraph(const QString& name, int depth = 0) const;
    const Style* style(const QString& family, const QString& name) const;

    void flow(const xmlNode* container);
    void paragraph(const xmlNode* node, int listLevel, const QString& listKey, const QString& listStyle);
    void inlineContent(const xmlNode* node, const TextProps& props, const QString& href);
    void text(const QString& value, const TextProps& props, const QString& href);
    void frame(const xmlNode* node, const TextProps& props);
    void list(const xmlNode* node, int level, const QString& key, const QString& style);
    void table(const xmlNode* node);
    QTextCharFormat charFormat(const TextProps& props, const QString& href) const;

    TextDocumentBuilder m_builder;
    ZipPackageReader* m_package;
    QHash<QString, QString> m_fontFaces;
    QHash<QString, Style> m_styles; // "family/name"
    QHash<QString, QHash<int, QTextListFormat::Style>> m_listStyles;
    QHash<QString, TextProps> m_defaultText; // family -> default text properties
    bool m_atParagraphStart = true;
    bool m_lastWasSpace = false;
    int m_listCount = 0;
};

const Style* Parser::style(const QString& family, const QString& name) const
{
    const auto it = m_styles.constFind(family + u'/' + name);
    return it == m_styles.constEnd() ? nullptr : &*it;
}

TextProps Parser::styleText(const QString& family, const QString& name, int depth) const
{
    const Style* found = style(family, name);
    if (!found || depth > 16)
        return depth == 0 ? m_defaultText.value(family) : TextProps();
    TextProps props = found->parent.isEmpty() ? m_defaultText.value(family) : styleText(family, found->parent, depth + 1);
    props.merge(found->text);
    return props;
}

ParagraphProps Parser::styleParagraph(const QString& name, int depth) const
{
    const Style* found = style(QStringLiteral("paragraph"), name);
    if (!found || depth > 16)
        return {};
    ParagraphProps props = styleParagraph(found->parent, depth + 1);
    props.merge(found->paragraph);
    return props;
}

void Parser::readFontFaces(const xmlNode* declarations)
{
    for (const xmlNode* node = declarations ? declarations->children : nullptr; node; node = node->next) {
        if (Is(node, "font-face", kStyleNS)) {
            QString family = Attribute(node, "font-family", kSvgNS);
            family.remove(u'\'').remove(u'"');
            m_fontFaces.insert(Attribute(node, "name", kStyleNS), family);
        }
    }
}

TextProps Parser::parseTextProps(const xmlNode* properties) const
{
    TextProps props;
    if (!properties)
        return props;
    const QString fontName = Attribute(properties, "font-name", kStyleNS);
    if (!fontName.isEmpty())
        props.font = m_fontFaces.value(fontName, fontName);
    const QString family = Attribute(properties, "font-family", kFoNS);
    if (!family.isEmpty())
        props.font = QString(family).remove(u'\'').remove(u'"');
    if (const auto size = Length(Attribute(properties, "font-size", kFoNS)))
        props.pointSize = *size;
    const QString weight = Attribute(properties, "font-weight", kFoNS);
    if (!weight.isEmpty())
        props.bold = weight == QLatin1String("bold") || weight.toInt() >= 600;
    const QString italic = Attribute(properties, "font-style", kFoNS);
    if (!italic.isEmpty())
        props.italic = italic == QLatin1String("italic") || italic == QLatin1String("oblique");
    const QString underline = Attribute(properties, "text-underline-style", kStyleNS);
    if (!underline.isEmpty())
        props.underline = underline != QLatin1String("none");
    const QString strike = Attribute(properties, "text-line-through-style", kStyleNS);
    if (!strike.isEmpty())
        props.strike = strike != QLatin1String("none");
    const QColor color(Attribute(properties, "color", kFoNS));
    if (color.isValid())
        props.color = color;
    const QColor background(Attribute(properties, "background-color", kFoNS));
    if (background.isValid())
        props.background = background;
    const QString position = Attribute(properties, "text-position", kStyleNS);
    if (!position.isEmpty()) {
        const QString first = position.section(u' ', 0, 0);
        props.vertical = first == QLatin1String("super") || (first.endsWith(u'%') && first.chopped(1).toDouble() > 0) ? 1
                         : first == QLatin1String("sub") || (first.endsWith(u'%') && first.chopped(1).toDouble() < 0)
                             ? 2
                             : 0;
    }
    return props;
}

ParagraphProps Parser::parseParagraphProps(const xmlNode* properties)
{
    ParagraphProps props;
    if (!properties)
        return props;
    const QString align = Attribute(properties, "text-align", kFoNS);
    if (align == QLatin1String("center"))
        props.alignment = Qt::AlignHCenter;
    else if (align == QLatin1String("end") || align == QLatin1String("right"))
        props.alignment = Qt::AlignRight;
    else if (align == QLatin1String("justify"))
        props.alignment = Qt::AlignJustify;
    else if (!align.isEmpty())
        props.alignment = Qt::AlignLeft;
    const QString breakBefore = Attribute(properties, "break-before", kFoNS);
    if (!breakBefore.isEmpty())
        props.breakBefore = breakBefore == QLatin1String("page");
    props.left = Length(Attribute(properties, "margin-left", kFoNS));
    props.right = Length(Attribute(properties, "margin-right", kFoNS));
    props.top = Length(Attribute(properties, "margin-top", kFoNS));
    props.bottom = Length(Attribute(properties, "margin-bottom", kFoNS));
    props.indent = Length(Attribute(properties, "text-indent", kFoNS));
    return props;
}

void Parser::readStyles(const xmlNode* container)
{
    for (const xmlNode* node = container ? container->children : nullptr; node; node = node->next) {
        if (Is(node, "style", kStyleNS)) {
            Style entry;
            entry.parent = Attribute(node, "parent-style-name", kStyleNS);
            entry.listStyle = Attribute(node, "list-style-name", kStyleNS);
            entry.text = parseTextProps(Child(node, "text-properties", kStyleNS));
            entry.text.merge(parseTextProps(Child(node, "properties", kStyleNS)));
            entry.paragraph = parseParagraphProps(Child(node, "paragraph-properties", kStyleNS));
            entry.paragraph.merge(parseParagraphProps(Child(node, "properties", kStyleNS)));
            const QString level = Attribute(node, "default-outline-level", kStyleNS);
            if (!level.isEmpty())
                entry.paragraph.outline = level.toInt();
            m_styles.insert(Attribute(node, "family", kStyleNS) + u'/' + Attribute(node, "name", kStyleNS), entry);
        } else if (Is(node, "default-style", kStyleNS)) {
            TextProps props = parseTextProps(Child(node, "text-properties", kStyleNS));
            props.merge(parseTextProps(Child(node, "properties", kStyleNS)));
            m_defaultText.insert(Attribute(node, "family", kStyleNS), props);
        } else if (Is(node, "list-style", kTextNS)) {
            QHash<int, QTextListFormat::Style>& levels = m_listStyles[Attribute(node, "name", kStyleNS)];
            for (const xmlNode* level = node->children; level; level = level->next) {
                const int number = Attribute(level, "level", kTextNS).toInt();
                if (Is(level, "list-level-style-number", kTextNS)) {
                    const QString format = Attribute(level, "num-format", kStyleNS);
                    levels.insert(number,
                                  ListStyleOfName(kNumberFormats, format).value_or(QTextListFormat::ListDecimal));
                } else if (XmlTree::IsNamed(level, "list-level-style-bullet")
                           || XmlTree::IsNamed(level, "list-level-style-image")) {
                    levels.insert(number, QTextListFormat::ListDisc);
                }
            }
        }
    }
}

QTextCharFormat Parser::charFormat(const TextProps& props, const QString& href) const
{
    QTextCharFormat format = props.format();
    if (!href.isEmpty()) {
        format.setAnchor(true);
        format.setAnchorHref(href);
    }
    return format;
}

void Parser::text(const QString& value, const TextProps& props, const QString& href)
{
    // white space collapses to one space, and none at the start of a paragraph
    QString collapsed;
    for (const QChar c : value) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') {
            if (m_atParagraphStart || m_lastWasSpace)
                continue;
            collapsed.append(u' ');
            m_lastWasSpace = true;
        } else {
            collapsed.append(c);
            m_lastWasSpace = false;
            m_atParagraphStart = false;
        }
    }
    m_builder.insertText(collapsed, charFormat(props, href));
}

void Parser::frame(const xmlNode* node, const TextProps& props)
{
    const xmlNode* image = Child(node, "image", kDrawNS);
    if (!image)
        return;
    QByteArray bytes;
    const QString target = Attribute(image, "href", kXlinkNS);
    if (!target.isEmpty() && m_package) {
        const QString path = QDir::cleanPath(target);
        if (!path.startsWith(QLatin1String("..")) && !path.startsWith(u'/') && m_package->contains(path))
            bytes = m_package->read(path).value_or(QByteArray());
    } else if (const xmlNode* binary = Child(image, "binary-data", kOfficeNS)) {
        bytes = QByteArray::fromBase64(XmlTree::Text(binary).toLatin1());
    }
    const QImage picture = DecodeEmbeddedImage(bytes);
    if (picture.isNull())
        return;
    const double width = Length(Attribute(node, "width", kSvgNS)).value_or(0);
    const double height = Length(Attribute(node, "height", kSvgNS)).value_or(0);
    m_builder.insertImage(picture, width, height, props.format());
    m_atParagraphStart = false;
    m_lastWasSpace = false;
}

void Parser::inlineContent(const xmlNode* container, const TextProps& props, const QString& href)
{
    for (const xmlNode* node = container->children; node; node = node->next) {
        if (node->type == XML_TEXT_NODE) {
            if (node->content)
                text(QString::fromUtf8(reinterpret_cast<const char*>(node->content)), props, href);
            continue;
        }
        if (node->type != XML_ELEMENT_NODE)
            continue;
        if (Is(node, "span", kTextNS)) {
            TextProps inner = props;
            inner.merge(styleText(QStringLiteral("text"), Attribute(node, "style-name", kTextNS)));
            inlineContent(node, inner, href);
        } else if (Is(node, "a", kTextNS)) {
            inlineContent(node, props, Attribute(node, "href", kXlinkNS));
        } else if (Is(node, "s", kTextNS)) {
            const QString count = Attribute(node, "c", kTextNS);
            const int spaces = std::clamp(count.isEmpty() ? 1 : count.toInt(), 0, TextReadLimits::kMaxRepeat);
            m_builder.insertText(QString(spaces, u' '), charFormat(props, href));
            m_atParagraphStart = false;
            m_lastWasSpace = false;
        } else if (Is(node, "tab", kTextNS) || Is(node, "tab-stop", kTextNS)) {
            m_builder.insertText(QStringLiteral("\t"), charFormat(props, href));
            m_atParagraphStart = false;
            m_lastWasSpace = false;
        } else if (Is(node, "line-break", kTextNS)) {
            m_builder.insertText(QString(QChar::LineSeparator), charFormat(props, href));
            m_atParagraphStart = true;
            m_lastWasSpace = false;
        } else if (Is(node, "frame", kDrawNS)) {
            frame(node, props);
        } else if (Is(node, "note", kTextNS) || Is(node, "annotation", kOfficeNS)
                   || Is(node, "tracked-changes", kTextNS) || XmlTree::Is(node, "a", kDrawNS)
                   || (node->ns && node->ns->href
                       && (std::string_view(reinterpret_cast<const char*>(node->ns->href)) == kDraw))) {
            // notes, comments, revisions and shapes are not part of the text
        } else {
            // fields and marks: their text is the document's
            inlineContent(node, props, href);
        }
    }
}

void Parser::paragraph(const xmlNode* node, int listLevel, const QString& listKey, const QString& listStyle)
{
    const QString styleName = Attribute(node, "style-name", kTextNS);
    const ParagraphProps props = styleParagraph(styleName);
    QTextBlockFormat format;
    if (props.alignment && *props.alignment != Qt::AlignLeft)
        format.setAlignment(*props.alignment);
    if (props.breakBefore && *props.breakBefore)
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    if (listLevel == 0) {
        if (props.left && *props.left > 0)
            format.setLeftMargin(*props.left);
        if (props.indent && *props.indent != 0)
            format.setTextIndent(*props.indent);
    }
    if (props.right && *props.right > 0)
        format.setRightMargin(*props.right);
    if (props.top && *props.top > 0)
        format.setTopMargin(*props.top);
    if (props.bottom && *props.bottom > 0)
        format.setBottomMargin(*props.bottom);
    int heading = 0;
    if (Is(node, "h", kTextNS)) {
        const QString level = Attribute(node, "outline-level", kTextNS) + Attribute(node, "level", kTextNS);
        heading = level.isEmpty() ? props.outline.value_or(1) : level.toInt();
    }
    if (heading >= 1 && heading <= 6)
        format.setHeadingLevel(heading);
    m_builder.startParagraph(format);
    if (listLevel > 0) {
        QTextListFormat list;
        list.setStyle(m_listStyles.value(listStyle).value(listLevel, QTextListFormat::ListDisc));
        list.setIndent(listLevel);
        m_builder.setParagraphList(listKey + QString::number(listLevel), list);
    }
    m_atParagraphStart = true;
    m_lastWasSpace = false;
    inlineContent(node, styleText(QStringLiteral("paragraph"), styleName), {});
}

void Parser::list(const xmlNode* node, int level, const QString& key, const QString& inheritedStyle)
{
    const QString own = Attribute(node, "style-name", kTextNS);
    const QString listStyle = own.isEmpty() ? inheritedStyle : own;
    const int depth = std::min(level + 1, 9);
    for (const xmlNode* item = node->children; item; item = item->next) {
        if (!Is(item, "list-item", kTextNS) && !Is(item, "list-header", kTextNS))
            continue;
        for (const xmlNode* child = item->children; child; child = child->next) {
            if (Is(child, "p", kTextNS) || Is(child, "h", kTextNS))
                paragraph(child, depth, key, listStyle);
            else if (Is(child, "list", kTextNS) || Is(child, "ordered-list", kTextNS)
                     || Is(child, "unordered-list", kTextNS))
                list(child, depth, key, listStyle);
            else if (Is(child, "table", kTableNS))
                table(child);
        }
    }
}

// Rows and columns a table will have, repetitions counted (each bounded).
std::pair<int64_t, int64_t> TableSize(const xmlNode* container)
{
    int64_t rows = 0, columns = 0;
    auto repeat = [](const xmlNode* node, const char* attribute) -> int64_t {
        const QString value = Attribute(node, attribute, kTableNS);
        return std::clamp<int64_t>(value.isEmpty() ? 1 : value.toLongLong(), 1, TextReadLimits::kMaxRepeat);
    };
    for (const xmlNode* node = container->children; node; node = node->next) {
        if (Is(node, "table-header-rows", kTableNS) || Is(node, "table-rows", kTableNS)
            || Is(node, "table-row-group", kTableNS)) {
            const auto [innerRows, innerColumns] = TableSize(node);
            rows += innerRows;
            columns = std::max(columns, innerColumns);
        } else if (Is(node, "table-row", kTableNS)) {
            int64_t cells = 0;
            for (const xmlNode* cell = node->children; cell; cell = cell->next) {
                if (Is(cell, "table-cell", kTableNS) || Is(cell, "covered-table-cell", kTableNS))
                    cells += repeat(cell, "number-columns-repeated");
            }
            rows += repeat(node, "number-rows-repeated");
            columns = std::max(columns, cells);
        }
    }
    return {std::min<int64_t>(rows, INT_MAX), std::min<int64_t>(columns, INT_MAX)};
}

void Parser::table(const xmlNode* node)
{
    const auto [rowCount, columnCount] = TableSize(node);
    m_builder.startTable(static_cast<int>(rowCount), static_cast<int>(columnCount));
    std::function<void(const xmlNode*)> rows = [&](const xmlNode* container) {
        for (const xmlNode* row = container->children; row; row = row->next) {
            if (Is(row, "table-header-rows", kTableNS) || Is(row, "table-rows", kTableNS)
                || Is(row, "table-row-group", kTableNS)) {
                rows(row);
                continue;
            }
            if (!Is(row, "table-row", kTableNS))
                continue;
            const QString repeat = Attribute(row, "number-rows-repeated", kTableNS);
            const int times = std::clamp(repeat.isEmpty() ? 1 : repeat.toInt(), 1, TextReadLimits::kMaxRepeat);
            for (int t = 0; t < times && !m_builder.exceeded(); ++t) {
                m_builder.startRow();
                for (const xmlNode* cell = row->children; cell; cell = cell->next) {
                    if (!Is(cell, "table-cell", kTableNS))
                        continue; // covered cells belong to the cell that spans them
                    const QString cellRepeat = Attribute(cell, "number-columns-repeated", kTableNS);
                    const int cellTimes =
                        std::clamp(cellRepeat.isEmpty() ? 1 : cellRepeat.toInt(), 1, TextReadLimits::kMaxTableColumns);
                    const QString columns = Attribute(cell, "number-columns-spanned", kTableNS);
                    const QString rowsSpanned = Attribute(cell, "number-rows-spanned", kTableNS);
                    for (int c = 0; c < cellTimes && !m_builder.exceeded(); ++c) {
                        m_builder.startCell(columns.isEmpty() ? 1 : columns.toInt(),
                                            rowsSpanned.isEmpty() ? 1 : rowsSpanned.toInt());
                        flow(cell);
                    }
                }
            }
        }
    };
    rows(node);
    m_builder.endTable();
}

void Parser::flow(const xmlNode* container)
{
    for (const xmlNode* node = container->children; node; node = node->next) {
        if (Is(node, "p", kTextNS) || Is(node, "h", kTextNS)) {
            paragraph(node, 0, {}, {});
        } else if (Is(node, "list", kTextNS) || Is(node, "ordered-list", kTextNS)
                   || Is(node, "unordered-list", kTextNS)) {
            list(node, 0, QStringLiteral("list%1-").arg(++m_listCount), {});
        } else if (Is(node, "table", kTableNS)) {
            table(node);
        } else if (Is(node, "section", kTextNS) || Is(node, "index-body", kTextNS)
                   || XmlTree::IsNamed(node, "table-of-content") || XmlTree::IsNamed(node, "alphabetical-index")
                   || XmlTree::IsNamed(node, "illustration-index") || XmlTree::IsNamed(node, "user-index")) {
            if (const xmlNode* body = Child(node, "index-body", kTextNS))
                flow(body);
            else
                flow(node);
        }
    }
}

bool Parser::readContent(const QByteArray& xml, QString* error)
{
    const XmlTree::Document document = XmlTree::Parse(xml, error);
    const xmlNode* root = XmlTree::Root(document);
    if (!root)
        return false;
    if (!Is(root, "document-content", kOfficeNS) && !Is(root, "document", kOfficeNS)) {
        if (error)
            *error = QStringLiteral("not an OpenDocument content part");
        return false;
    }
    readFontFaces(Child(root, "font-face-decls", kOfficeNS));
    readFontFaces(Child(root, "font-decls", kOfficeNS));
    readStyles(Child(root, "styles", kOfficeNS));
    readStyles(Child(root, "automatic-styles", kOfficeNS));
    const xmlNode* body = Child(root, "body", kOfficeNS);
    if (!body) {
        if (error)
            *error = QStringLiteral("an OpenDocument file without a body");
        return false;
    }
    const xmlNode* text = Child(body, "text", kOfficeNS);
    flow(text ? text : body);
    m_builder.finish();
    if (m_builder.exceeded()) {
        if (error)
            *error = m_builder.exceededReason();
        return false;
    }
    return true;
}

bool Parser::readPackage(QString* error)
{
    if (m_package->contains(QStringLiteral("styles.xml"))) {
        if (const auto bytes = m_package->read(QStringLiteral("styles.xml"))) {
            const XmlTree::Document styles = XmlTree::Parse(*bytes);
            const xmlNode* root = XmlTree::Root(styles);
            readFontFaces(Child(root, "font-face-decls", kOfficeNS));
            readFontFaces(Child(root, "font-decls", kOfficeNS));
            readStyles(Child(root, "styles", kOfficeNS));
        }
    }
    const auto content = m_package->read(QStringLiteral("content.xml"), error);
    if (!content)
        return false;
    return readContent(*content, error);
}

} // namespace

bool Read(const QByteArray& package, QTextDocument& document, QString* error)
{
    return DocumentReading::ReadPackageWith<Parser>(package, document, error);
}

bool ReadContentXML(const QByteArray& xml, QTextDocument& document, QString* error)
{
    return DocumentReading::ReadPartWith<Parser>(document, [&](Parser& parser) { return parser.readContent(xml, error); });
}

} // namespace ODTReader
