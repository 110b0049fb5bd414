#include "toolkit/text/ODTWriter.h"

#include "toolkit/text/CharacterProperties.h"
#include "toolkit/text/OfficePackageWriting.h"
#include "toolkit/text/OpenDocumentText.h"
#include "toolkit/text/TextDocumentWalk.h"

#include <QHash>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QXmlStreamWriter>

#include <algorithm>
#include <vector>

namespace ODTWriter {

namespace {

using namespace OpenDocumentText;
using OfficePackageWriting::XmlPart;

const QString kOfficeQ = QString::fromLatin1(kOffice);
const QString kStyleQ = QString::fromLatin1(kStyle);
const QString kTextQ = QString::fromLatin1(kText);
const QString kTableQ = QString::fromLatin1(kTable);
const QString kDrawQ = QString::fromLatin1(kDraw);
const QString kFoQ = QString::fromLatin1(kFo);
const QString kSvgQ = QString::fromLatin1(kSvg);
const QString kXlinkQ = QString::fromLatin1(kXlink);

QString Points(double value)
{
    return QString::number(value, 'f', 2) + QStringLiteral("pt");
}

// Empty for a bulleted list.
QString NumberFormat(QTextListFormat::Style style)
{
    return NameOfListStyle(kNumberFormats, style).value_or(QString());
}

// The properties of a format this writer puts in a style, as attributes.
using Attributes = std::vector<std::pair<QString, QString>>; // "ns|name" -> value

class Writer {
public:
    explicit Writer(const QTextDocument& document)
        : m_document(document)
    {}

    QByteArray write(QString* error);

private:
    void flow(const std::vector<TextFlowItem>& items);
    void closeLists(size_t depth);
    void paragraph(const QTextBlock& block);
    void listParagraph(const QTextBlock& block, const QTextList* list);
    void inlineText(const QString& text);
    void runs(const QTextBlock& block);
    void picture(const TextDocumentWalk::TextRun& run);
    void table(const QTextTable& table);
    QString textStyle(const QTextCharFormat& format);
    QString paragraphStyle(const QTextBlockFormat& format);
    QString listStyle(const QTextList* list);
    void writeStyles(QXmlStreamWriter& xml) const;
    QByteArray stylesPart() const;
    QByteArray manifest() const;

    const QTextDocument& m_document;
    QXmlStreamWriter* m_xml = nullptr;
    QStringList m_fonts;
    // automatic styles: name -> (family, properties element, attributes)
    struct AutomaticStyle {
        QString name, family, parent, propertiesElement;
        Attributes attributes;
    };
    std::vector<AutomaticStyle> m_automatic;
    QHash<QString, QString> m_styleNames; // key -> name
    OfficePackageWriting::ListNumbers m_lists;
    struct OpenList {
        const QTextList* list;
        bool itemOpen;
    };
    std::vector<OpenList> m_openLists;
    OfficePackageWriting::PackagePictures m_pictures{QStringLiteral("Pictures/")};
    bool m_atParagraphStart = true;
    bool m_lastWasSpace = false;
    int m_tableCount = 0;
};

QString Writer::textStyle(const QTextCharFormat& format)
{
    const CharacterProperties props = CharacterProperties::OfFormat(format);
    Attributes attributes;
    if (props.font) {
        if (!m_fonts.contains(*props.font))
            m_fonts.append(*props.font);
        attributes.push_back({QStringLiteral("style|font-name"), *props.font});
    }
    if (props.pointSize)
        attributes.push_back({QStringLiteral("fo|font-size"), Points(*props.pointSize)});
    if (props.bold)
        attributes.push_back({QStringLiteral("fo|font-weight"), QStringLiteral("bold")});
    if (props.italic)
        attributes.push_back({QStringLiteral("fo|font-style"), QStringLiteral("italic")});
    if (props.underline) {
        attributes.push_back({QStringLiteral("style|text-underline-style"), QStringLiteral("solid")});
        attributes.push_back({QStringLiteral("style|text-underline-width"), QStringLiteral("auto")});
        attributes.push_back({QStringLiteral("style|text-underline-color"), QStringLiteral("font-color")});
    }
    if (props.strike)
        attributes.push_back({QStringLiteral("style|text-line-through-style"), QStringLiteral("solid")});
    if (props.color)
        attributes.push_back({QStringLiteral("fo|color"), props.color->name()});
    if (props.background)
        attributes.push_back({QStringLiteral("fo|background-color"), props.background->name()});
    if (props.vertical == 1)
        attributes.push_back({QStringLiteral("style|text-position"), QStringLiteral("super 58%")});
    else if (props.vertical == 2)
        attributes.push_back({QStringLiteral("style|text-position"), QStringLiteral("sub 58%")});
    if (attributes.empty())
        return {};
    QString key = QStringLiteral("text");
    for (const auto& [name, value] : attributes)
        key += u'\x1f' + name + u'=' + value;
    QString& styleName = m_styleNames[key];
    if (styleName.isEmpty()) {
        styleName = QStringLiteral("T%1").arg(m_automatic.size() + 1);
        m_automatic.push_back({styleName, QStringLiteral("text"), {}, QStringLiteral("text-properties"), attributes});
    }
    return styleName;
}

QString Writer::paragraphStyle(const QTextBlockFormat& format)
{
    Attributes attributes;
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment == Qt::AlignHCenter)
        attributes.push_back({QStringLiteral("fo|text-align"), QStringLiteral("center")});
    else if (alignment == Qt::AlignRight)
        attributes.push_back({QStringLiteral("fo|text-align"), QStringLiteral("end")});
    else if (alignment == Qt::AlignJustify)
        attributes.push_back({QStringLiteral("fo|text-align"), QStringLiteral("justify")});
    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        attributes.push_back({QStringLiteral("fo|break-before"), QStringLiteral("page")});
    if (format.leftMargin() > 0)
        attributes.push_back({QStringLiteral("fo|margin-left"), Points(format.leftMargin())});
    if (format.rightMargin() > 0)
        attributes.push_back({QStringLiteral("fo|margin-right"), Points(format.rightMargin())});
    if (format.topMargin() > 0)
        attributes.push_back({QStringLiteral("fo|margin-top"), Points(format.topMargin())});
    if (format.bottomMargin() > 0)
        attributes.push_back({QStringLiteral("fo|margin-bottom"), Points(format.bottomMargin())});
    if (format.textIndent() != 0)
        attributes.push_back({QStringLiteral("fo|text-indent"), Points(format.textIndent())});
    const int heading = format.headingLevel();
    const QString parent = heading >= 1 && heading <= 6 ? QStringLiteral("Heading_20_%1").arg(heading)
                                                        : QStringLiteral("Standard");
    QString key = QStringLiteral("paragraph|") + parent;
    for (const auto& [name, value] : attributes)
        key += u'\x1f' + name + u'=' + value;
    QString& styleName = m_styleNames[key];
    if (styleName.isEmpty()) {
        styleName = QStringLiteral("P%1").arg(m_automatic.size() + 1);
        m_automatic.push_back({styleName, QStringLiteral("paragraph"), parent, QStringLiteral("paragraph-properties"),
                               attributes});
    }
    return styleName;
}

QString Writer::listStyle(const QTextList* list)
{
    return QStringLiteral("L%1").arg(m_lists.number(list));
}

void Writer::inlineText(const QString& text)
{
    QString pending;
    auto flush = [&] {
        if (!pending.isEmpty())
            m_xml->writeCharacters(pending);
        pending.clear();
    };
    int spaces = 0;
    auto flushSpaces = [&] {
        if (spaces == 0)
            return;
        flush();
        m_xml->writeEmptyElement(kTextQ, QStringLiteral("s"));
        if (spaces > 1)
            m_xml->writeAttribute(kTextQ, QStringLiteral("c"), QString::number(spaces));
        spaces = 0;
    };
    for (const QChar c : text) {
        if (c == u' ') {
            // one space after other text is written as it is; the others as <text:s/>
            if (!m_atParagraphStart && !m_lastWasSpace)
                pending.append(c);
            else
                ++spaces;
            m_lastWasSpace = true;
            continue;
        }
        flushSpaces();
        m_lastWasSpace = false;
        m_atParagraphStart = false;
        if (c == u'\t') {
            flush();
            m_xml->writeEmptyElement(kTextQ, QStringLiteral("tab"));
        } else if (c == QChar::LineSeparator) {
            flush();
            m_xml->writeEmptyElement(kTextQ, QStringLiteral("line-break"));
            m_atParagraphStart = true;
        } else if (OfficePackageWriting::IsWrittenCharacter(c)) {
            pending.append(c);
        }
    }
    flushSpaces();
    flush();
}

void Writer::picture(const TextDocumentWalk::TextRun& run)
{
    const auto picture = OfficePackageWriting::PictureOfRun(m_document, run);
    if (!picture)
        return;
    const QString path = m_pictures.pathOf(m_pictures.add(picture->png));
    m_xml->writeStartElement(kDrawQ, QStringLiteral("frame"));
    m_xml->writeAttribute(kDrawQ, QStringLiteral("name"), QStringLiteral("Image%1").arg(m_pictures.size()));
    m_xml->writeAttribute(kTextQ, QStringLiteral("anchor-type"), QStringLiteral("as-char"));
    m_xml->writeAttribute(kSvgQ, QStringLiteral("width"), Points(picture->width));
    m_xml->writeAttribute(kSvgQ, QStringLiteral("height"), Points(picture->height));
    m_xml->writeEmptyElement(kDrawQ, QStringLiteral("image"));
    m_xml->writeAttribute(kXlinkQ, QStringLiteral("href"), path);
    m_xml->writeAttribute(kXlinkQ, QStringLiteral("type"), QStringLiteral("simple"));
    m_xml->writeAttribute(kXlinkQ, QStringLiteral("show"), QStringLiteral("embed"));
    m_xml->writeAttribute(kXlinkQ, QStringLiteral("actuate"), QStringLiteral("onLoad"));
    m_xml->writeEndElement();
    m_atParagraphStart = false;
    m_lastWasSpace = false;
}

void Writer::runs(const QTextBlock& block)
{
    m_atParagraphStart = true;
    m_lastWasSpace = false;
    auto openLink = [&](const QString& href) {
        m_xml->writeStartElement(kTextQ, QStringLiteral("a"));
        m_xml->writeAttribute(kXlinkQ, QStringLiteral("type"), QStringLiteral("simple"));
        m_xml->writeAttribute(kXlinkQ, QStringLiteral("href"), href);
    };
    auto writeRun = [&](const TextDocumentWalk::TextRun& run) {
        if (run.isImage) {
            picture(run);
            return;
        }
        const QString style = textStyle(run.format);
        if (!style.isEmpty()) {
            m_xml->writeStartElement(kTextQ, QStringLiteral("span"));
            m_xml->writeAttribute(kTextQ, QStringLiteral("style-name"), style);
        }
        inlineText(run.text);
        if (!style.isEmpty())
            m_xml->writeEndElement();
    };
    OfficePackageWriting::WriteLinkedRuns(*m_xml, block, openLink, writeRun);
}

void Writer::paragraph(const QTextBlock& block)
{
    const QTextBlockFormat format = block.blockFormat();
    const int heading = format.headingLevel();
    const bool isHeading = heading >= 1 && heading <= 6;
    m_xml->writeStartElement(kTextQ, isHeading ? QStringLiteral("h") : QStringLiteral("p"));
    m_xml->writeAttribute(kTextQ, QStringLiteral("style-name"), paragraphStyle(format));
    if (isHeading)
        m_xml->writeAttribute(kTextQ, QStringLiteral("outline-level"), QString::number(heading));
    runs(block);
    m_xml->writeEndElement();
}

void Writer::closeLists(size_t depth)
{
    while (m_openLists.size() > depth) {
        if (m_openLists.back().itemOpen)
            m_xml->writeEndElement(); // list-item
        m_xml->writeEndElement();     // list
        m_openLists.pop_back();
    }
}

void Writer::listParagraph(const QTextBlock& block, const QTextList* list)
{
    const auto level = static_cast<size_t>(std::clamp(list->format().indent(), 1, 9));
    closeLists(level);
    if (m_openLists.size() == level && m_openLists.back().list != list)
        closeLists(level - 1);
    while (m_openLists.size() < level) {
        if (!m_openLists.empty() && !m_openLists.back().itemOpen) {
            m_xml->writeStartElement(kTextQ, QStringLiteral("list-item"));
            m_openLists.back().itemOpen = true;
        }
        m_xml->writeStartElement(kTextQ, QStringLiteral("list"));
        m_xml->writeAttribute(kTextQ, QStringLiteral("style-name"), listStyle(list));
        m_openLists.push_back({list, false});
    }
    if (m_openLists.back().itemOpen)
        m_xml->writeEndElement();
    m_xml->writeStartElement(kTextQ, QStringLiteral("list-item"));
    m_openLists.back().itemOpen = true;
    paragraph(block);
}

void Writer::table(const QTextTable& table)
{
    m_xml->writeStartElement(kTableQ, QStringLiteral("table"));
    m_xml->writeAttribute(kTableQ, QStringLiteral("name"), QStringLiteral("Table%1").arg(++m_tableCount));
    m_xml->writeEmptyElement(kTableQ, QStringLiteral("table-column"));
    m_xml->writeAttribute(kTableQ, QStringLiteral("number-columns-repeated"), QString::number(table.columns()));
    for (int r = 0; r < table.rows(); ++r) {
        m_xml->writeStartElement(kTableQ, QStringLiteral("table-row"));
        for (int c = 0; c < table.columns(); ++c) {
            const QTextTableCell cell = table.cellAt(r, c);
            if (!TextDocumentWalk::IsCellOrigin(cell, r, c)) {
                m_xml->writeEmptyElement(kTableQ, QStringLiteral("covered-table-cell"));
                continue;
            }
            m_xml->writeStartElement(kTableQ, QStringLiteral("table-cell"));
            m_xml->writeAttribute(kTableQ, QStringLiteral("style-name"), QStringLiteral("Cell"));
            m_xml->writeAttribute(QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0"),
                                  QStringLiteral("value-type"), QStringLiteral("string"));
            if (cell.columnSpan() > 1)
                m_xml->writeAttribute(kTableQ, QStringLiteral("number-columns-spanned"),
                                      QString::number(cell.columnSpan()));
            if (cell.rowSpan() > 1)
                m_xml->writeAttribute(kTableQ, QStringLiteral("number-rows-spanned"), QString::number(cell.rowSpan()));
            const auto items = TextDocumentWalk::CellItems(cell);
            flow(items);
            if (items.empty())
                m_xml->writeEmptyElement(kTextQ, QStringLiteral("p"));
            m_xml->writeEndElement();
        }
        m_xml->writeEndElement();
    }
    m_xml->writeEndElement();
}

void Writer::flow(const std::vector<TextFlowItem>& items)
{
    const size_t outer = m_openLists.size();
    for (const TextFlowItem& item : items) {
        if (item.table) {
            closeLists(outer);
            table(*item.table);
        } else if (const QTextList* list = item.block.textList()) {
            listParagraph(item.block, list);
        } else {
            closeLists(outer);
            paragraph(item.block);
        }
    }
    closeLists(outer);
}

void Writer::writeStyles(QXmlStreamWriter& xml) const
{
    auto qualified = [](const QString& name) {
        const QString prefix = name.section(u'|', 0, 0);
        return std::pair(prefix == QLatin1String("fo") ? kFoQ : kStyleQ, name.section(u'|', 1));
    };
    for (const AutomaticStyle& style : m_automatic) {
        xml.writeStartElement(kStyleQ, QStringLiteral("style"));
        xml.writeAttribute(kStyleQ, QStringLiteral("name"), style.name);
        xml.writeAttribute(kStyleQ, QStringLiteral("family"), style.family);
        if (!style.parent.isEmpty())
            xml.writeAttribute(kStyleQ, QStringLiteral("parent-style-name"), style.parent);
        xml.writeEmptyElement(kStyleQ, style.propertiesElement);
        for (const auto& [name, value] : style.attributes) {
            const auto [ns, local] = qualified(name);
            xml.writeAttribute(ns, local, value);
        }
        xml.writeEndElement();
    }
    xml.writeStartElement(kStyleQ, QStringLiteral("style"));
    xml.writeAttribute(kStyleQ, QStringLiteral("name"), QStringLiteral("Cell"));
    xml.writeAttribute(kStyleQ, QStringLiteral("family"), QStringLiteral("table-cell"));
    xml.writeEmptyElement(kStyleQ, QStringLiteral("table-cell-properties"));
    xml.writeAttribute(kFoQ, QStringLiteral("border"), QStringLiteral("0.5pt solid #000000"));
    xml.writeAttribute(kFoQ, QStringLiteral("padding"), QStringLiteral("2pt"));
    xml.writeEndElement();
    for (int i = 0; i < m_lists.lists().size(); ++i) {
        const QString format = NumberFormat(m_lists.lists()[i]->format().style());
        xml.writeStartElement(kTextQ, QStringLiteral("list-style"));
        xml.writeAttribute(kStyleQ, QStringLiteral("name"), QStringLiteral("L%1").arg(i + 1));
        for (int level = 1; level <= 9; ++level) {
            xml.writeStartElement(kTextQ, format.isEmpty() ? QStringLiteral("list-level-style-bullet")
                                                           : QStringLiteral("list-level-style-number"));
            xml.writeAttribute(kTextQ, QStringLiteral("level"), QString::number(level));
            if (format.isEmpty())
                xml.writeAttribute(kTextQ, QStringLiteral("bullet-char"), QStringLiteral("\u2022"));
            else {
                xml.writeAttribute(kStyleQ, QStringLiteral("num-suffix"), QStringLiteral("."));
                xml.writeAttribute(kStyleQ, QStringLiteral("num-format"), format);
            }
            xml.writeStartElement(kStyleQ, QStringLiteral("list-level-properties"));
            xml.writeAttribute(kTextQ, QStringLiteral("list-level-position-and-space-mode"),
                               QStringLiteral("label-alignment"));
            xml.writeEmptyElement(kStyleQ, QStringLiteral("list-level-label-alignment"));
            xml.writeAttribute(kTextQ, QStringLiteral("label-followed-by"), QStringLiteral("listtab"));
            xml.writeAttribute(kFoQ, QStringLiteral("text-indent"), QStringLiteral("-18pt"));
            xml.writeAttribute(kFoQ, QStringLiteral("margin-left"), Points(36.0 * level));
            xml.writeEndElement();
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
}

void WriteNamespaces(QXmlStreamWriter& xml)
{
    xml.writeNamespace(kOfficeQ, QStringLiteral("office"));
    xml.writeNamespace(kStyleQ, QStringLiteral("style"));
    xml.writeNamespace(kTextQ, QStringLiteral("text"));
    xml.writeNamespace(kTableQ, QStringLiteral("table"));
    xml.writeNamespace(kDrawQ, QStringLiteral("draw"));
    xml.writeNamespace(kFoQ, QStringLiteral("fo"));
    xml.writeNamespace(kSvgQ, QStringLiteral("svg"));
    xml.writeNamespace(kXlinkQ, QStringLiteral("xlink"));
}

QByteArray Writer::stylesPart() const
{
    return XmlPart([&](QXmlStreamWriter& xml) {
        WriteNamespaces(xml);
        xml.writeStartElement(kOfficeQ, QStringLiteral("document-styles"));
        xml.writeAttribute(kOfficeQ, QStringLiteral("version"), QStringLiteral("1.2"));
        xml.writeStartElement(kOfficeQ, QStringLiteral("styles"));
        xml.writeStartElement(kStyleQ, QStringLiteral("style"));
        xml.writeAttribute(kStyleQ, QStringLiteral("name"), QStringLiteral("Standard"));
        xml.writeAttribute(kStyleQ, QStringLiteral("family"), QStringLiteral("paragraph"));
        xml.writeEndElement();
        // headings carry their level only: their look is the runs' own formatting
        for (int level = 1; level <= 6; ++level) {
            xml.writeStartElement(kStyleQ, QStringLiteral("style"));
            xml.writeAttribute(kStyleQ, QStringLiteral("name"), QStringLiteral("Heading_20_%1").arg(level));
            xml.writeAttribute(kStyleQ, QStringLiteral("display-name"), QStringLiteral("Heading %1").arg(level));
            xml.writeAttribute(kStyleQ, QStringLiteral("family"), QStringLiteral("paragraph"));
            xml.writeAttribute(kStyleQ, QStringLiteral("parent-style-name"), QStringLiteral("Standard"));
            xml.writeAttribute(kStyleQ, QStringLiteral("default-outline-level"), QString::number(level));
            xml.writeEndElement();
        }
        xml.writeEndElement();
        xml.writeEndElement();
    });
}

QByteArray Writer::manifest() const
{
    const QString ns = QString::fromLatin1(kManifest);
    return XmlPart([&](QXmlStreamWriter& xml) {
        xml.writeNamespace(ns, QStringLiteral("manifest"));
        xml.writeStartElement(ns, QStringLiteral("manifest"));
        xml.writeAttribute(ns, QStringLiteral("version"), QStringLiteral("1.2"));
        auto entry = [&](const QString& path, const QString& type) {
            xml.writeEmptyElement(ns, QStringLiteral("file-entry"));
            xml.writeAttribute(ns, QStringLiteral("full-path"), path);
            xml.writeAttribute(ns, QStringLiteral("media-type"), type);
        };
        entry(QStringLiteral("/"), QStringLiteral("application/vnd.oasis.opendocument.text"));
        entry(QStringLiteral("content.xml"), QStringLiteral("text/xml"));
        entry(QStringLiteral("styles.xml"), QStringLiteral("text/xml"));
        for (const QString& path : m_pictures.paths())
            entry(path, QStringLiteral("image/png"));
        xml.writeEndElement();
    });
}

QByteArray Writer::write(QString* error)
{
    // A first pass names the styles, fonts and lists the body uses; the second writes the part
    // with them in front of the body.
    QByteArray scratch;
    QXmlStreamWriter first(&scratch);
    m_xml = &first;
    flow(TextDocumentWalk::FrameItems(m_document.rootFrame()));
    m_pictures.clear();
    m_tableCount = 0;

    QByteArray content;
    QXmlStreamWriter xml(&content);
    m_xml = &xml;
    xml.writeStartDocument();
    WriteNamespaces(xml);
    xml.writeStartElement(kOfficeQ, QStringLiteral("document-content"));
    xml.writeAttribute(kOfficeQ, QStringLiteral("version"), QStringLiteral("1.2"));
    xml.writeStartElement(kOfficeQ, QStringLiteral("font-face-decls"));
    for (const QString& font : m_fonts) {
        xml.writeEmptyElement(kStyleQ, QStringLiteral("font-face"));
        xml.writeAttribute(kStyleQ, QStringLiteral("name"), font);
        xml.writeAttribute(kSvgQ, QStringLiteral("font-family"), u'\'' + font + u'\'');
    }
    xml.writeEndElement();
    xml.writeStartElement(kOfficeQ, QStringLiteral("automatic-styles"));
    writeStyles(xml);
    xml.writeEndElement();
    xml.writeStartElement(kOfficeQ, QStringLiteral("body"));
    xml.writeStartElement(kOfficeQ, QStringLiteral("text"));
    flow(TextDocumentWalk::FrameItems(m_document.rootFrame()));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    m_xml = nullptr;

    // the mimetype entry comes first and stored, so that the type can be read at a fixed offset
    return OfficePackageWriting::ZipParts(
        {{QStringLiteral("mimetype"), QByteArrayLiteral("application/vnd.oasis.opendocument.text"), true},
         {QStringLiteral("META-INF/manifest.xml"), manifest()},
         {QStringLiteral("content.xml"), content},
         {QStringLiteral("styles.xml"), stylesPart()}},
        m_pictures, error);
}

} // namespace

QByteArray Write(const QTextDocument& document, QString* error)
{
    return Writer(document).write(error);
}

} // namespace ODTWriter
