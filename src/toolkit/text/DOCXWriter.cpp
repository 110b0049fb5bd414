#include "toolkit/text/DOCXWriter.h"

#include "toolkit/text/CharacterProperties.h"
#include "toolkit/text/OfficePackageWriting.h"
#include "toolkit/text/TextDocumentWalk.h"
#include "toolkit/text/WordProcessingML.h"

#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>

namespace DOCXWriter {

namespace {

using OfficePackageWriting::Standalone;
using OfficePackageWriting::XmlPart;

const QString kW = QString::fromLatin1(WordProcessingML::kMain);
const QString kR = QString::fromLatin1(WordProcessingML::kRelationships);
const QString kWP = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing");
const QString kA = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main");
const QString kPic = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture");

QString NumberFormat(QTextListFormat::Style style)
{
    return NameOfListStyle(WordProcessingML::kNumberFormats, style).value_or(QStringLiteral("bullet"));
}

QString Twips(double points)
{
    return QString::number(std::lround(points * 20.0));
}

class Writer {
public:
    explicit Writer(const QTextDocument& document)
        : m_document(document)
    {}

    QByteArray write(QString* error);

private:
    void flow(const std::vector<TextFlowItem>& items);
    void paragraph(const QTextBlock& block);
    void runs(const QTextBlock& block);
    void textRun(const QString& text, const QTextCharFormat& format);
    void runProperties(const QTextCharFormat& format);
    void picture(const TextDocumentWalk::TextRun& run);
    void table(const QTextTable& table);
    QString relationship(const QString& type, const QString& target, bool external);
    QByteArray numbering() const;
    QByteArray styles() const;
    QByteArray documentRelationships() const;
    QByteArray contentTypes() const;

    const QTextDocument& m_document;
    QByteArray m_body;
    QXmlStreamWriter m_xml{&m_body};
    OfficePackageWriting::ListNumbers m_lists;
    struct Relationship {
        QString id, type, target;
        bool external;
    };
    QList<Relationship> m_relationships;
    OfficePackageWriting::PackagePictures m_media{QStringLiteral("word/media/")};
    int m_drawingId = 0;
};

QString Writer::relationship(const QString& type, const QString& target, bool external)
{
    for (const Relationship& existing : m_relationships) {
        if (existing.type == type && existing.target == target)
            return existing.id;
    }
    const QString id = QStringLiteral("rId%1").arg(m_relationships.size() + 10);
    m_relationships.append({id, type, target, external});
    return id;
}

void Writer::runProperties(const QTextCharFormat& format)
{
    const CharacterProperties props = CharacterProperties::OfFormat(format);
    m_xml.writeStartElement(kW, QStringLiteral("rPr"));
    if (props.font) {
        m_xml.writeEmptyElement(kW, QStringLiteral("rFonts"));
        for (const char* attribute : {"ascii", "hAnsi", "cs", "eastAsia"})
            m_xml.writeAttribute(kW, QString::fromLatin1(attribute), *props.font);
    }
    if (props.bold)
        m_xml.writeEmptyElement(kW, QStringLiteral("b"));
    if (props.italic)
        m_xml.writeEmptyElement(kW, QStringLiteral("i"));
    if (props.strike)
        m_xml.writeEmptyElement(kW, QStringLiteral("strike"));
    if (props.color) {
        m_xml.writeEmptyElement(kW, QStringLiteral("color"));
        m_xml.writeAttribute(kW, QStringLiteral("val"), props.color->name().mid(1).toUpper());
    }
    if (props.pointSize) {
        m_xml.writeEmptyElement(kW, QStringLiteral("sz"));
        m_xml.writeAttribute(kW, QStringLiteral("val"), QString::number(std::lround(*props.pointSize * 2)));
    }
    if (props.underline) {
        m_xml.writeEmptyElement(kW, QStringLiteral("u"));
        m_xml.writeAttribute(kW, QStringLiteral("val"), QStringLiteral("single"));
    }
    if (props.background) {
        m_xml.writeEmptyElement(kW, QStringLiteral("shd"));
        m_xml.writeAttribute(kW, QStringLiteral("val"), QStringLiteral("clear"));
        m_xml.writeAttribute(kW, QStringLiteral("color"), QStringLiteral("auto"));
        m_xml.writeAttribute(kW, QStringLiteral("fill"), props.background->name().mid(1).toUpper());
    }
    if (props.vertical) {
        m_xml.writeEmptyElement(kW, QStringLiteral("vertAlign"));
        m_xml.writeAttribute(kW, QStringLiteral("val"),
                             props.vertical == 1 ? QStringLiteral("superscript") : QStringLiteral("subscript"));
    }
    m_xml.writeEndElement();
}

void Writer::textRun(const QString& text, const QTextCharFormat& format)
{
    m_xml.writeStartElement(kW, QStringLiteral("r"));
    runProperties(format);
    QString pending;
    auto flush = [&] {
        if (pending.isEmpty())
            return;
        m_xml.writeStartElement(kW, QStringLiteral("t"));
        m_xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        m_xml.writeCharacters(pending);
        m_xml.writeEndElement();
        pending.clear();
    };
    for (const QChar c : text) {
        if (c == u'\t') {
            flush();
            m_xml.writeEmptyElement(kW, QStringLiteral("tab"));
        } else if (c == QChar::LineSeparator) {
            flush();
            m_xml.writeEmptyElement(kW, QStringLiteral("br"));
        } else if (OfficePackageWriting::IsWrittenCharacter(c)) {
            pending.append(c);
        }
    }
    flush();
    m_xml.writeEndElement();
}

void Writer::picture(const TextDocumentWalk::TextRun& run)
{
    const auto picture = OfficePackageWriting::PictureOfRun(m_document, run);
    if (!picture)
        return;
    const QString file = m_media.add(picture->png);
    const QString id = relationship(QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/image"),
                                    QStringLiteral("media/") + file, false);
    const QString cx = QString::number(std::llround(picture->width * 12700.0));
    const QString cy = QString::number(std::llround(picture->height * 12700.0));
    const QString number = QString::number(++m_drawingId);
    m_xml.writeStartElement(kW, QStringLiteral("r"));
    runProperties(run.format);
    m_xml.writeStartElement(kW, QStringLiteral("drawing"));
    m_xml.writeStartElement(kWP, QStringLiteral("inline"));
    m_xml.writeEmptyElement(kWP, QStringLiteral("extent"));
    m_xml.writeAttribute(QStringLiteral("cx"), cx);
    m_xml.writeAttribute(QStringLiteral("cy"), cy);
    m_xml.writeEmptyElement(kWP, QStringLiteral("docPr"));
    m_xml.writeAttribute(QStringLiteral("id"), number);
    m_xml.writeAttribute(QStringLiteral("name"), QStringLiteral("Picture ") + number);
    m_xml.writeStartElement(kA, QStringLiteral("graphic"));
    m_xml.writeStartElement(kA, QStringLiteral("graphicData"));
    m_xml.writeAttribute(QStringLiteral("uri"), kPic);
    m_xml.writeStartElement(kPic, QStringLiteral("pic"));
    m_xml.writeStartElement(kPic, QStringLiteral("nvPicPr"));
    m_xml.writeEmptyElement(kPic, QStringLiteral("cNvPr"));
    m_xml.writeAttribute(QStringLiteral("id"), number);
    m_xml.writeAttribute(QStringLiteral("name"), file);
    m_xml.writeEmptyElement(kPic, QStringLiteral("cNvPicPr"));
    m_xml.writeEndElement();
    m_xml.writeStartElement(kPic, QStringLiteral("blipFill"));
    m_xml.writeEmptyElement(kA, QStringLiteral("blip"));
    m_xml.writeAttribute(kR, QStringLiteral("embed"), id);
    m_xml.writeStartElement(kA, QStringLiteral("stretch"));
    m_xml.writeEmptyElement(kA, QStringLiteral("fillRect"));
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_xml.writeStartElement(kPic, QStringLiteral("spPr"));
    m_xml.writeStartElement(kA, QStringLiteral("xfrm"));
    m_xml.writeEmptyElement(kA, QStringLiteral("off"));
    m_xml.writeAttribute(QStringLiteral("x"), QStringLiteral("0"));
    m_xml.writeAttribute(QStringLiteral("y"), QStringLiteral("0"));
    m_xml.writeEmptyElement(kA, QStringLiteral("ext"));
    m_xml.writeAttribute(QStringLiteral("cx"), cx);
    m_xml.writeAttribute(QStringLiteral("cy"), cy);
    m_xml.writeEndElement();
    m_xml.writeStartElement(kA, QStringLiteral("prstGeom"));
    m_xml.writeAttribute(QStringLiteral("prst"), QStringLiteral("rect"));
    m_xml.writeEndElement();
    m_xml.writeEndElement(); // spPr
    m_xml.writeEndElement(); // pic
    m_xml.writeEndElement(); // graphicData
    m_xml.writeEndElement(); // graphic
    m_xml.writeEndElement(); // inline
    m_xml.writeEndElement(); // drawing
    m_xml.writeEndElement(); // r
}

void Writer::runs(const QTextBlock& block)
{
    auto openLink = [&](const QString& href) {
        m_xml.writeStartElement(kW, QStringLiteral("hyperlink"));
        if (href.startsWith(u'#'))
            m_xml.writeAttribute(kW, QStringLiteral("anchor"), href.mid(1));
        else
            m_xml.writeAttribute(
                kR, QStringLiteral("id"),
                relationship(QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink"),
                             href, true));
    };
    auto writeRun = [&](const TextDocumentWalk::TextRun& run) {
        if (run.isImage)
            picture(run);
        else
            textRun(run.text, run.format);
    };
    OfficePackageWriting::WriteLinkedRuns(m_xml, block, openLink, writeRun);
}

void Writer::paragraph(const QTextBlock& block)
{
    const QTextBlockFormat format = block.blockFormat();
    m_xml.writeStartElement(kW, QStringLiteral("p"));
    m_xml.writeStartElement(kW, QStringLiteral("pPr"));
    if (format.headingLevel() >= 1 && format.headingLevel() <= 6) {
        m_xml.writeEmptyElement(kW, QStringLiteral("pStyle"));
        m_xml.writeAttribute(kW, QStringLiteral("val"), QStringLiteral("Heading%1").arg(format.headingLevel()));
    }
    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        m_xml.writeEmptyElement(kW, QStringLiteral("pageBreakBefore"));
    const QTextList* list = block.textList();
    if (list) {
        m_xml.writeStartElement(kW, QStringLiteral("numPr"));
        m_xml.writeEmptyElement(kW, QStringLiteral("ilvl"));
        m_xml.writeAttribute(kW, QStringLiteral("val"), QString::number(std::clamp(list->format().indent() - 1, 0, 8)));
        m_xml.writeEmptyElement(kW, QStringLiteral("numId"));
        m_xml.writeAttribute(kW, QStringLiteral("val"), QString::number(m_lists.number(list)));
        m_xml.writeEndElement();
    }
    if (format.topMargin() > 0 || format.bottomMargin() > 0) {
        m_xml.writeEmptyElement(kW, QStringLiteral("spacing"));
        m_xml.writeAttribute(kW, QStringLiteral("before"), Twips(format.topMargin()));
        m_xml.writeAttribute(kW, QStringLiteral("after"), Twips(format.bottomMargin()));
    }
    if (!list && (format.leftMargin() > 0 || format.rightMargin() > 0 || format.textIndent() != 0)) {
        m_xml.writeEmptyElement(kW, QStringLiteral("ind"));
        m_xml.writeAttribute(kW, QStringLiteral("left"), Twips(format.leftMargin()));
        m_xml.writeAttribute(kW, QStringLiteral("right"), Twips(format.rightMargin()));
        if (format.textIndent() < 0)
            m_xml.writeAttribute(kW, QStringLiteral("hanging"), Twips(-format.textIndent()));
        else if (format.textIndent() > 0)
            m_xml.writeAttribute(kW, QStringLiteral("firstLine"), Twips(format.textIndent()));
    }
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment == Qt::AlignHCenter || alignment == Qt::AlignRight || alignment == Qt::AlignJustify) {
        m_xml.writeEmptyElement(kW, QStringLiteral("jc"));
        m_xml.writeAttribute(kW, QStringLiteral("val"), alignment == Qt::AlignHCenter ? QStringLiteral("center") : alignment == Qt::AlignRight ? QStringLiteral("right")
                                                                                                                                               : QStringLiteral("both"));
    }
    m_xml.writeEndElement(); // pPr
    runs(block);
    m_xml.writeEndElement(); // p
}

void Writer::table(const QTextTable& table)
{
    const int columns = table.columns();
    const int width = 9360 / std::max(1, columns);
    m_xml.writeStartElement(kW, QStringLiteral("tbl"));
    m_xml.writeStartElement(kW, QStringLiteral("tblPr"));
    m_xml.writeEmptyElement(kW, QStringLiteral("tblW"));
    m_xml.writeAttribute(kW, QStringLiteral("w"), QString::number(width * columns));
    m_xml.writeAttribute(kW, QStringLiteral("type"), QStringLiteral("dxa"));
    m_xml.writeStartElement(kW, QStringLiteral("tblBorders"));
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
        m_xml.writeEmptyElement(kW, QString::fromLatin1(side));
        m_xml.writeAttribute(kW, QStringLiteral("val"), QStringLiteral("single"));
        m_xml.writeAttribute(kW, QStringLiteral("sz"), QStringLiteral("4"));
        m_xml.writeAttribute(kW, QStringLiteral("space"), QStringLiteral("0"));
        m_xml.writeAttribute(kW, QStringLiteral("color"), QStringLiteral("000000"));
    }
    m_xml.writeEndElement();
    m_xml.writeEndElement(); // tblPr
    m_xml.writeStartElement(kW, QStringLiteral("tblGrid"));
    for (int c = 0; c < columns; ++c) {
        m_xml.writeEmptyElement(kW, QStringLiteral("gridCol"));
        m_xml.writeAttribute(kW, QStringLiteral("w"), QString::number(width));
    }
    m_xml.writeEndElement();
    for (int r = 0; r < table.rows(); ++r) {
        m_xml.writeStartElement(kW, QStringLiteral("tr"));
        for (int c = 0; c < columns;) {
            const QTextTableCell cell = table.cellAt(r, c);
            const int span = std::max(1, cell.columnSpan());
            m_xml.writeStartElement(kW, QStringLiteral("tc"));
            m_xml.writeStartElement(kW, QStringLiteral("tcPr"));
            m_xml.writeEmptyElement(kW, QStringLiteral("tcW"));
            m_xml.writeAttribute(kW, QStringLiteral("w"), QString::number(width * span));
            m_xml.writeAttribute(kW, QStringLiteral("type"), QStringLiteral("dxa"));
            if (span > 1) {
                m_xml.writeEmptyElement(kW, QStringLiteral("gridSpan"));
                m_xml.writeAttribute(kW, QStringLiteral("val"), QString::number(span));
            }
            if (cell.rowSpan() > 1) {
                m_xml.writeEmptyElement(kW, QStringLiteral("vMerge"));
                if (cell.row() == r)
                    m_xml.writeAttribute(kW, QStringLiteral("val"), QStringLiteral("restart"));
            }
            m_xml.writeEndElement(); // tcPr
            const auto items = cell.row() == r ? TextDocumentWalk::CellItems(cell) : std::vector<TextFlowItem>();
            flow(items);
            // a cell ends with a paragraph
            if (items.empty() || items.back().table)
                m_xml.writeEmptyElement(kW, QStringLiteral("p"));
            m_xml.writeEndElement(); // tc
            c = cell.column() + span;
        }
        m_xml.writeEndElement(); // tr
    }
    m_xml.writeEndElement(); // tbl
}

void Writer::flow(const std::vector<TextFlowItem>& items)
{
    for (const TextFlowItem& item : items) {
        if (item.table)
            table(*item.table);
        else
            paragraph(item.block);
    }
}

QByteArray Writer::numbering() const
{
    return XmlPart(
        [&](QXmlStreamWriter& xml) {
            xml.writeNamespace(kW, QStringLiteral("w"));
            xml.writeStartElement(kW, QStringLiteral("numbering"));
            for (int i = 0; i < m_lists.lists().size(); ++i) {
                const QString format = NumberFormat(m_lists.lists()[i]->format().style());
                xml.writeStartElement(kW, QStringLiteral("abstractNum"));
                xml.writeAttribute(kW, QStringLiteral("abstractNumId"), QString::number(i + 1));
                for (int level = 0; level < 9; ++level) {
                    xml.writeStartElement(kW, QStringLiteral("lvl"));
                    xml.writeAttribute(kW, QStringLiteral("ilvl"), QString::number(level));
                    xml.writeEmptyElement(kW, QStringLiteral("start"));
                    xml.writeAttribute(kW, QStringLiteral("val"), QStringLiteral("1"));
                    xml.writeEmptyElement(kW, QStringLiteral("numFmt"));
                    xml.writeAttribute(kW, QStringLiteral("val"), format);
                    xml.writeEmptyElement(kW, QStringLiteral("lvlText"));
                    xml.writeAttribute(kW, QStringLiteral("val"), format == QLatin1String("bullet") ? QStringLiteral("\u2022") : QStringLiteral("%%1.").arg(level + 1));
                    xml.writeStartElement(kW, QStringLiteral("pPr"));
                    xml.writeEmptyElement(kW, QStringLiteral("ind"));
                    xml.writeAttribute(kW, QStringLiteral("left"), QString::number(720 * (level + 1)));
                    xml.writeAttribute(kW, QStringLiteral("hanging"), QStringLiteral("360"));
                    xml.writeEndElement();
                    xml.writeEndElement(); // lvl
                }
                xml.writeEndElement();
            }
            for (int i = 0; i < m_lists.lists().size(); ++i) {
                xml.writeStartElement(kW, QStringLiteral("num"));
                xml.writeAttribute(kW, QStringLiteral("numId"), QString::number(i + 1));
                xml.writeEmptyElement(kW, QStringLiteral("abstractNumId"));
                xml.writeAttribute(kW, QStringLiteral("val"), QString::number(i + 1));
                xml.writeEndElement();
            }
            xml.writeEndElement();
        },
        Standalone::Yes);
}

QByteArray Writer::styles() const
{
    return XmlPart(
        [&](QXmlStreamWriter& xml) {
            xml.writeNamespace(kW, QStringLiteral("w"));
            xml.writeStartElement(kW, QStringLiteral("styles"));
            xml.writeStartElement(kW, QStringLiteral("style"));
            xml.writeAttribute(kW, QStringLiteral("type"), QStringLiteral("paragraph"));
            xml.writeAttribute(kW, QStringLiteral("default"), QStringLiteral("1"));
            xml.writeAttribute(kW, QStringLiteral("styleId"), QStringLiteral("Normal"));
            xml.writeEmptyElement(kW, QStringLiteral("name"));
            xml.writeAttribute(kW, QStringLiteral("val"), QStringLiteral("Normal"));
            xml.writeEndElement();
            // headings carry their level only: their look is the runs' own formatting
            for (int level = 1; level <= 6; ++level) {
                xml.writeStartElement(kW, QStringLiteral("style"));
                xml.writeAttribute(kW, QStringLiteral("type"), QStringLiteral("paragraph"));
                xml.writeAttribute(kW, QStringLiteral("styleId"), QStringLiteral("Heading%1").arg(level));
                xml.writeEmptyElement(kW, QStringLiteral("name"));
                xml.writeAttribute(kW, QStringLiteral("val"), QStringLiteral("heading %1").arg(level));
                xml.writeEmptyElement(kW, QStringLiteral("basedOn"));
                xml.writeAttribute(kW, QStringLiteral("val"), QStringLiteral("Normal"));
                xml.writeEmptyElement(kW, QStringLiteral("next"));
                xml.writeAttribute(kW, QStringLiteral("val"), QStringLiteral("Normal"));
                xml.writeStartElement(kW, QStringLiteral("pPr"));
                xml.writeEmptyElement(kW, QStringLiteral("outlineLvl"));
                xml.writeAttribute(kW, QStringLiteral("val"), QString::number(level - 1));
                xml.writeEndElement();
                xml.writeEndElement();
            }
            xml.writeEndElement();
        },
        Standalone::Yes);
}

QByteArray Writer::documentRelationships() const
{
    return XmlPart(
        [&](QXmlStreamWriter& xml) {
            xml.writeStartElement(QStringLiteral("Relationships"));
            xml.writeDefaultNamespace(QString::fromLatin1(WordProcessingML::kPackageRelationships));
            auto add = [&](const QString& id, const QString& type, const QString& target, bool external) {
                xml.writeEmptyElement(QStringLiteral("Relationship"));
                xml.writeAttribute(QStringLiteral("Id"), id);
                xml.writeAttribute(QStringLiteral("Type"), type);
                xml.writeAttribute(QStringLiteral("Target"), target);
                if (external)
                    xml.writeAttribute(QStringLiteral("TargetMode"), QStringLiteral("External"));
            };
            add(QStringLiteral("rId1"), QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles"),
                QStringLiteral("styles.xml"), false);
            add(QStringLiteral("rId2"),
                QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/numbering"),
                QStringLiteral("numbering.xml"), false);
            for (const Relationship& relationship : m_relationships)
                add(relationship.id, relationship.type, relationship.target, relationship.external);
            xml.writeEndElement();
        },
        Standalone::Yes);
}

QByteArray Writer::contentTypes() const
{
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Default Extension=\"png\" ContentType=\"image/png\"/>"
        "<Override PartName=\"/word/document.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
        "<Override PartName=\"/word/styles.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
        "<Override PartName=\"/word/numbering.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.numbering+xml\"/>"
        "</Types>");
}

QByteArray Writer::write(QString* error)
{
    m_xml.writeStartDocument(QStringLiteral("1.0"), true);
    m_xml.writeNamespace(kW, QStringLiteral("w"));
    m_xml.writeNamespace(kR, QStringLiteral("r"));
    m_xml.writeNamespace(kWP, QStringLiteral("wp"));
    m_xml.writeNamespace(kA, QStringLiteral("a"));
    m_xml.writeNamespace(kPic, QStringLiteral("pic"));
    m_xml.writeStartElement(kW, QStringLiteral("document"));
    m_xml.writeStartElement(kW, QStringLiteral("body"));
    flow(TextDocumentWalk::FrameItems(m_document.rootFrame()));
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_xml.writeEndDocument();

    const QByteArray packageRelationships = QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"word/document.xml\"/></Relationships>");
    return OfficePackageWriting::ZipParts({{QStringLiteral("[Content_Types].xml"), contentTypes()},
                                           {QStringLiteral("_rels/.rels"), packageRelationships},
                                           {QStringLiteral("word/document.xml"), m_body},
                                           {QStringLiteral("word/styles.xml"), styles()},
                                           {QStringLiteral("word/numbering.xml"), numbering()},
                                           {QStringLiteral("word/_rels/document.xml.rels"), documentRelationships()}},
                                          m_media, error);
}

} // namespace

QByteArray Write(const QTextDocument& document, QString* error)
{
    return Writer(document).write(error);
}

} // namespace DOCXWriter
