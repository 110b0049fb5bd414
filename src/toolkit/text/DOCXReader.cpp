#include "toolkit/text/DOCXReader.h"

#include "toolkit/text/DOCXProperties.h"
#include "toolkit/text/DocumentReading.h"
#include "toolkit/text/EmbeddedImage.h"
#include "toolkit/text/TextDocumentBuilder.h"
#include "toolkit/text/WordProcessingML.h"
#include "toolkit/text/XmlTree.h"
#include "toolkit/text/ZipPackage.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QTextDocument>

#include <climits>
#include <optional>
#include <vector>

namespace DOCXReader {

namespace {

using namespace WordProcessingML;
using namespace DOCXProperties;
using XmlTree::Attribute;
using XmlTree::Child;
using XmlTree::Is;

class Parser {
public:
    Parser(QTextDocument& document, ZipPackageReader* package)
        : m_builder(document)
        , m_package(package)
    {
    }

    bool readPackage(QString* error);
    bool readMain(const QByteArray& xml, QString* error);

private:
    void readRelationships(const QString& partPath);
    void readStyles(const xmlNode* stylesRoot);
    void readNumbering(const xmlNode* numberingRoot);
    void readWordMLResources(const xmlNode* root);
    const Style* style(const QString& id) const;
    RunProps styleRun(const QString& id, int depth = 0) const;
    ParagraphProps styleParagraph(const QString& id, int depth = 0) const;
    int headingLevel(const QString& styleId, const ParagraphProps& props) const;

    void body(const xmlNode* container);
    void paragraph(const xmlNode* p);
    void runs(const xmlNode* container, const RunProps& paragraphRun, const QString& href);
    void run(const xmlNode* r, const RunProps& paragraphRun, const QString& href);
    void splitAfterPageBreak();
    void table(const xmlNode* tbl);
    void drawing(const xmlNode* node, const QTextCharFormat& format);
    void vmlPicture(const xmlNode* pict, const QTextCharFormat& format);
    QByteArray partBytes(const QString& target);

    TextDocumentBuilder m_builder;
    ZipPackageReader* m_package;
    QString m_mainPart = QStringLiteral("word/document.xml");
    QHash<QString, QString> m_relationships; // id -> target
    QHash<QString, Style> m_styles;
    RunProps m_defaultRun;
    QHash<QString, QHash<int, QString>> m_abstractLevels; // abstract id -> level -> format
    QHash<QString, QString> m_numAbstract;                // num id -> abstract id
    QHash<QString, QByteArray> m_binaryData;              // WordML pictures by name
    // Complex fields open at this point (fldChar begin ... separate ... end, nested): a HYPERLINK
    // field links the text it shows.
    struct Field {
        QString instruction;
        QString href;
        bool showing = false; // past its separator
    };
    std::vector<Field> m_fields;
    void fieldCharacter(const QString& type);
    QString fieldHref(const QString& href) const;
    bool m_paragraphHasContent = false;
    bool m_splitPending = false; // a page break after content: the paragraph's rest is a new one
    QTextBlockFormat m_paragraphFormat;
};

const Style* Parser::style(const QString& id) const
{
    const auto it = m_styles.constFind(id);
    return it == m_styles.constEnd() ? nullptr : &*it;
}

RunProps Parser::styleRun(const QString& id, int depth) const
{
    const Style* found = style(id);
    if (!found || depth > 16)
        return {};
    RunProps props = styleRun(found->basedOn, depth + 1);
    props.merge(found->run);
    return props;
}

ParagraphProps Parser::styleParagraph(const QString& id, int depth) const
{
    const Style* found = style(id);
    if (!found || depth > 16)
        return {};
    ParagraphProps props = styleParagraph(found->basedOn, depth + 1);
    props.merge(found->paragraph);
    return props;
}

int Parser::headingLevel(const QString& styleId, const ParagraphProps& props) const
{
    if (props.outline && *props.outline >= 0 && *props.outline < 6)
        return *props.outline + 1;
    for (const QString& name : {style(styleId) ? style(styleId)->name : QString(), styleId}) {
        const QString lower = name.toLower().remove(u' ');
        if (lower.startsWith(QLatin1String("heading"))) {
            bool ok = false;
            const int level = lower.mid(7).toInt(&ok);
            if (ok && level >= 1 && level <= 6)
                return level;
        }
    }
    return 0;
}

void Parser::readStyles(const xmlNode* stylesRoot)
{
    if (!stylesRoot)
        return;
    for (const xmlNode* node = stylesRoot->children; node; node = node->next) {
        if (Is(node, "docDefaults", kW)) {
            const xmlNode* rPrDefault = Child(node, "rPrDefault", kW);
            m_defaultRun = ParseRunProps(Child(rPrDefault, "rPr", kW));
        } else if (Is(node, "style", kW)) {
            Style entry;
            entry.name = Attribute(Child(node, "name", kW), "val", kW);
            entry.basedOn = Attribute(Child(node, "basedOn", kW), "val", kW);
            entry.run = ParseRunProps(Child(node, "rPr", kW));
            entry.paragraph = ParseParagraphProps(Child(node, "pPr", kW));
            m_styles.insert(Attribute(node, "styleId", kW), entry);
        }
    }
}

void Parser::readNumbering(const xmlNode* root)
{
    if (!root)
        return;
    for (const xmlNode* node = root->children; node; node = node->next) {
        if (Is(node, "abstractNum", kW) || Is(node, "listDef", kW)) {
            const QString id = Attribute(node, Is(node, "listDef", kW) ? "listDefId" : "abstractNumId", kW);
            QHash<int, QString>& levels = m_abstractLevels[id];
            for (const xmlNode* level = node->children; level; level = level->next) {
                if (!Is(level, "lvl", kW))
                    continue;
                const xmlNode* format = Child(level, "numFmt", kW);
                if (!format)
                    format = Child(level, "nfc", kW);
                levels.insert(Attribute(level, "ilvl", kW).toInt(), Attribute(format, "val", kW));
            }
        } else if (Is(node, "num", kW) || Is(node, "list", kW)) {
            const bool wordML = Is(node, "list", kW);
            const QString id = Attribute(node, wordML ? "ilfo" : "numId", kW);
            const xmlNode* abstract = Child(node, wordML ? "ilst" : "abstractNumId", kW);
            m_numAbstract.insert(id, Attribute(abstract, "val", kW));
        }
    }
}

void Parser::readRelationships(const QString& partPath)
{
    if (!m_package)
        return;
    const qsizetype slash = partPath.lastIndexOf(u'/');
    const QString folder = slash >= 0 ? partPath.left(slash) : QString();
    const QString relsPath = (folder.isEmpty() ? QString() : folder + u'/') + QStringLiteral("_rels/")
                             + partPath.mid(slash + 1) + QStringLiteral(".rels");
    if (!m_package->contains(relsPath))
        return;
    const auto bytes = m_package->read(relsPath);
    if (!bytes)
        return;
    const XmlTree::Document rels = XmlTree::Parse(*bytes);
    for (const xmlNode* node = XmlTree::Root(rels) ? XmlTree::Root(rels)->children : nullptr; node; node = node->next) {
        if (!XmlTree::IsNamed(node, "Relationship"))
            continue;
        QString target = Attribute(node, "Target", {""});
        if (Attribute(node, "TargetMode", {""}) != QLatin1String("External")) {
            target = target.startsWith(u'/') ? target.mid(1)
                                             : QDir::cleanPath((folder.isEmpty() ? QString() : folder + u'/') + target);
        }
        m_relationships.insert(Attribute(node, "Id", {""}), target);
    }
}

QByteArray Parser::partBytes(const QString& target)
{
    if (!m_package || target.isEmpty() || target.startsWith(QLatin1String("../")) || !m_package->contains(target))
        return {};
    return m_package->read(target).value_or(QByteArray());
}

void Parser::readWordMLResources(const xmlNode* root)
{
    readStyles(Child(root, "styles", kW));
    readNumbering(Child(root, "lists", kW));
}

bool Parser::readPackage(QString* error)
{
    // the main part is what the package's relationships call the office document
    if (m_package->contains(QStringLiteral("_rels/.rels"))) {
        if (const auto bytes = m_package->read(QStringLiteral("_rels/.rels"))) {
            const XmlTree::Document rels = XmlTree::Parse(*bytes);
            for (const xmlNode* node = XmlTree::Root(rels) ? XmlTree::Root(rels)->children : nullptr; node;
                 node = node->next) {
                if (XmlTree::IsNamed(node, "Relationship")
                    && Attribute(node, "Type", {""}).endsWith(QLatin1String("/officeDocument"))) {
                    const QString target = Attribute(node, "Target", {""});
                    m_mainPart = QDir::cleanPath(target.startsWith(u'/') ? target.mid(1) : target);
                }
            }
        }
    }
    if (!m_package->contains(m_mainPart)) {
        if (error)
            *error = QStringLiteral("no document part in the package");
        return false;
    }
    readRelationships(m_mainPart);
    for (auto it = m_relationships.constBegin(); it != m_relationships.constEnd(); ++it) {
        const bool styles = it.value().endsWith(QLatin1String("styles.xml"));
        const bool numbering = it.value().endsWith(QLatin1String("numbering.xml"));
        if (!styles && !numbering)
            continue;
        const QByteArray bytes = partBytes(it.value());
        const XmlTree::Document part = XmlTree::Parse(bytes);
        if (styles)
            readStyles(XmlTree::Root(part));
        else
            readNumbering(XmlTree::Root(part));
    }
    const auto main = m_package->read(m_mainPart, error);
    if (!main)
        return false;
    return readMain(*main, error);
}

bool Parser::readMain(const QByteArray& xml, QString* error)
{
    const XmlTree::Document document = XmlTree::Parse(xml, error);
    const xmlNode* root = XmlTree::Root(document);
    if (!root)
        return false;
    if (Is(root, "wordDocument", {kWordML2003}))
        readWordMLResources(root);
    else if (!Is(root, "document", kW)) {
        if (error)
            *error = QStringLiteral("not a Word document");
        return false;
    }
    const xmlNode* bodyNode = Child(root, "body", kW);
    if (!bodyNode) {
        if (error)
            *error = QStringLiteral("a Word document without a body");
        return false;
    }
    body(bodyNode);
    m_builder.finish();
    if (m_builder.exceeded()) {
        if (error)
            *error = m_builder.exceededReason();
        return false;
    }
    return true;
}

void Parser::body(const xmlNode* container)
{
    for (const xmlNode* node = container->children; node; node = node->next) {
        if (Is(node, "p", kW))
            paragraph(node);
        else if (Is(node, "tbl", kW))
            table(node);
        else if (Is(node, "sdt", kW))
            body(Child(node, "sdtContent", kW) ? Child(node, "sdtContent", kW) : node);
        else if (Is(node, "customXml", kW) || XmlTree::IsNamed(node, "sect") || XmlTree::IsNamed(node, "sub-section"))
            body(node);
    }
}

void Parser::paragraph(const xmlNode* p)
{
    const ParagraphProps direct = ParseParagraphProps(Child(p, "pPr", kW));
    ParagraphProps props = styleParagraph(direct.style);
    props.merge(direct);
    QTextBlockFormat format;
    if (props.alignment && *props.alignment != Qt::AlignLeft)
        format.setAlignment(*props.alignment);
    const int listLevel = std::clamp(props.level.value_or(0), 0, 8);
    const QString numberFormat =
        props.numId ? m_abstractLevels.value(m_numAbstract.value(*props.numId)).value(listLevel) : QString();
    // outline numbering without a label (LibreOffice's headings) is no list
    const bool listed = props.numId && !props.numId->isEmpty() && *props.numId != QLatin1String("0")
                        && numberFormat != QLatin1String("none");
    if (!listed) {
        if (props.left && *props.left > 0)
            format.setLeftMargin(*props.left);
        if (props.firstLine && *props.firstLine != 0)
            format.setTextIndent(*props.firstLine);
    }
    if (props.right && *props.right > 0)
        format.setRightMargin(*props.right);
    if (props.before && *props.before > 0)
        format.setTopMargin(*props.before);
    if (props.after && *props.after > 0)
        format.setBottomMargin(*props.after);
    if (props.pageBreakBefore && *props.pageBreakBefore)
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    if (const int level = headingLevel(direct.style, props))
        format.setHeadingLevel(level);
    m_paragraphFormat = format;
    m_paragraphHasContent = false;
    m_splitPending = false;
    RunProps paragraphRun = m_defaultRun;
    paragraphRun.merge(styleRun(direct.style));
    // the paragraph mark's own run properties do not apply to the runs
    m_builder.startParagraph(format);
    if (listed) {
        QTextListFormat list;
        list.setStyle(ListStyleOfFormat(numberFormat));
        list.setIndent(listLevel + 1);
        m_builder.setParagraphList(QStringLiteral("num%1-%2").arg(*props.numId).arg(listLevel), list);
    }
    runs(p, paragraphRun, {});
}

void Parser::runs(const xmlNode* container, const RunProps& paragraphRun, const QString& href)
{
    for (const xmlNode* node = container->children; node; node = node->next) {
        if (Is(node, "r", kW)) {
            run(node, paragraphRun, href);
        } else if (Is(node, "hyperlink", kW) || XmlTree::IsNamed(node, "hlink")) {
            QString target = m_relationships.value(Attribute(node, "id", kR));
            if (target.isEmpty())
                target = Attribute(node, "dest", kW);
            const QString anchor = Attribute(node, "anchor", kW) + Attribute(node, "bookmark", kW);
            if (target.isEmpty() && !anchor.isEmpty())
                target = u'#' + anchor;
            runs(node, paragraphRun, target);
        } else if (Is(node, "sdt", kW)) {
            const xmlNode* content = Child(node, "sdtContent", kW);
            if (content)
                runs(content, paragraphRun, href);
        } else if (Is(node, "ins", kW) || Is(node, "smartTag", kW) || Is(node, "customXml", kW)
                   || Is(node, "fldSimple", kW) || Is(node, "moveTo", kW)) {
            runs(node, paragraphRun, href);
        }
    }
}

void Parser::splitAfterPageBreak()
{
    if (!m_splitPending)
        return;
    m_splitPending = false;
    QTextBlockFormat rest = m_paragraphFormat;
    rest.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
    m_builder.startParagraph(rest);
    m_paragraphHasContent = false;
}

namespace {

// The target of a HYPERLINK field's instruction: its address, or "#" and the bookmark of its \l switch.
QString HyperlinkTarget(const QString& instruction)
{
    static const QRegularExpression token(QStringLiteral("\\\\[a-zA-Z]|\"[^\"]*\"|[^\\s\"]+"));
    QString address;
    QString bookmark;
    QString pendingSwitch;
    bool first = true;
    for (const QRegularExpressionMatch& match : token.globalMatch(instruction)) {
        QString value = match.captured(0);
        if (first) {
            if (value.compare(QLatin1String("HYPERLINK"), Qt::CaseInsensitive) != 0)
                return {};
            first = false;
            continue;
        }
        if (value.startsWith(u'\\')) {
            pendingSwitch = value.mid(1).toLower();
            continue;
        }
        if (value.startsWith(u'"'))
            value = value.mid(1, value.size() - 2);
        if (pendingSwitch == QLatin1String("l"))
            bookmark = value;
        else if (pendingSwitch.isEmpty() && address.isEmpty())
            address = value;
        pendingSwitch.clear();
    }
    if (!bookmark.isEmpty())
        return address + u'#' + bookmark;
    return address;
}

} // namespace

void Parser::fieldCharacter(const QString& type)
{
    if (type == QLatin1String("begin")) {
        if (m_fields.size() < 64)
            m_fields.push_back({});
    } else if (type == QLatin1String("separate")) {
        if (!m_fields.empty()) {
            m_fields.back().showing = true;
            m_fields.back().href = HyperlinkTarget(m_fields.back().instruction.trimmed());
        }
    } else if (type == QLatin1String("end")) {
        if (!m_fields.empty())
            m_fields.pop_back();
    }
}

QString Parser::fieldHref(const QString& href) const
{
    for (auto field = m_fields.rbegin(); field != m_fields.rend(); ++field) {
        if (field->showing && !field->href.isEmpty())
            return field->href;
    }
    return href;
}

void Parser::run(const xmlNode* r, const RunProps& paragraphRun, const QString& href)
{
    const RunProps direct = ParseRunProps(Child(r, "rPr", kW));
    RunProps props = paragraphRun;
    props.merge(styleRun(direct.style));
    props.merge(direct);
    const QTextCharFormat plain = props.format();
    // A field's separator or end may come within the run: the link is looked up where text comes.
    auto format = [&] {
        QTextCharFormat linked = plain;
        if (const QString link = fieldHref(href); !link.isEmpty()) {
            linked.setAnchor(true);
            linked.setAnchorHref(link);
        }
        return linked;
    };
    auto text = [&](const QString& value) {
        splitAfterPageBreak();
        m_builder.insertText(value, format());
        m_paragraphHasContent = true;
    };
    for (const xmlNode* node = r->children; node; node = node->next) {
        if (Is(node, "fldChar", kW)) {
            fieldCharacter(Attribute(node, "fldCharType", kW));
        } else if (Is(node, "instrText", kW)) {
            if (!m_fields.empty() && !m_fields.back().showing && m_fields.back().instruction.size() < 4096)
                m_fields.back().instruction += XmlTree::Text(node);
        } else if (Is(node, "t", kW)) {
            text(XmlTree::Text(node));
        } else if (Is(node, "tab", kW)) {
            text(QStringLiteral("\t"));
        } else if (Is(node, "br", kW)) {
            if (Attribute(node, "type", kW) == QLatin1String("page")) {
                // what follows in the paragraph, or else the next paragraph, starts the new page
                m_builder.breakPageBeforeNextParagraph();
                m_splitPending = m_paragraphHasContent;
            } else {
                text(QString(QChar::LineSeparator));
            }
        } else if (Is(node, "cr", kW)) {
            text(QString(QChar::LineSeparator));
        } else if (Is(node, "noBreakHyphen", kW)) {
            text(QString(QChar(0x2011)));
        } else if (Is(node, "softHyphen", kW)) {
            text(QString(QChar(0x00AD)));
        } else if (Is(node, "sym", kW)) {
            bool ok = false;
            const uint code = Attribute(node, "char", kW).toUInt(&ok, 16);
            if (ok && code >= 0x20 && code < 0xD800)
                text(QString(QChar(static_cast<char16_t>(code))));
        } else if (Is(node, "drawing", kW)) {
            splitAfterPageBreak();
            drawing(node, format());
            m_paragraphHasContent = true;
        } else if (Is(node, "pict", kW)) {
            splitAfterPageBreak();
            vmlPicture(node, format());
            m_paragraphHasContent = true;
        }
    }
}

// The first descendant element of that local name, depth-first.
const xmlNode* Descendant(const xmlNode* node, const char* localName)
{
    for (const xmlNode* child = node ? node->children : nullptr; child; child = child->next) {
        if (XmlTree::IsNamed(child, localName))
            return child;
        if (const xmlNode* found = Descendant(child, localName))
            return found;
    }
    return nullptr;
}

void Parser::drawing(const xmlNode* node, const QTextCharFormat& format)
{
    const xmlNode* blip = Descendant(node, "blip");
    if (!blip)
        return;
    const QImage image = DecodeEmbeddedImage(partBytes(m_relationships.value(Attribute(blip, "embed", kR))));
    if (image.isNull())
        return;
    const xmlNode* extent = Descendant(node, "extent");
    const double width = Attribute(extent, "cx", {""}).toDouble() / 12700.0;
    const double height = Attribute(extent, "cy", {""}).toDouble() / 12700.0;
    m_builder.insertImage(image, width, height, format);
}

void Parser::vmlPicture(const xmlNode* pict, const QTextCharFormat& format)
{
    for (const xmlNode* node = pict->children; node; node = node->next) {
        if (Is(node, "binData", kW)) {
            const QString name = Attribute(node, "name", kW);
            if (m_binaryData.size() < 10000)
                m_binaryData.insert(name, QByteArray::fromBase64(XmlTree::Text(node).toLatin1()));
        }
    }
    const xmlNode* imageData = Descendant(pict, "imagedata");
    if (!imageData)
        return;
    QByteArray bytes;
    const QString id = Attribute(imageData, "id", kR);
    if (!id.isEmpty())
        bytes = partBytes(m_relationships.value(id));
    else
        bytes = m_binaryData.value(Attribute(imageData, "src", {""}));
    const QImage image = DecodeEmbeddedImage(bytes);
    if (image.isNull())
        return;
    // VML sizes: "width:120pt;height:80pt"
    double width = 0, height = 0;
    const xmlNode* shape = imageData->parent;
    for (const QString& part : Attribute(shape, "style", {""}).split(u';')) {
        const QString key = part.section(u':', 0, 0).trimmed();
        QString value = part.section(u':', 1).trimmed();
        const bool points = value.endsWith(QLatin1String("pt"));
        if (points)
            value.chop(2);
        const double number = value.toDouble();
        if (key == QLatin1String("width") && points)
            width = number;
        else if (key == QLatin1String("height") && points)
            height = number;
    }
    m_builder.insertImage(image, width, height, format);
}

void Parser::table(const xmlNode* tbl)
{
    struct Cell {
        const xmlNode* node;
        int column;
        int span;
        int rowSpan = 1;
        bool continued = false;
    };
    std::vector<std::vector<Cell>> rows;
    // the column each open vertical merge started in -> (row, cell index)
    QHash<int, std::pair<size_t, size_t>> openMerges;
    for (const xmlNode* tr = tbl->children; tr; tr = tr->next) {
        if (!Is(tr, "tr", kW))
            continue;
        std::vector<Cell> cells;
        int column = 0;
        for (const xmlNode* tc = tr->children; tc; tc = tc->next) {
            if (!Is(tc, "tc", kW))
                continue;
            const xmlNode* tcPr = Child(tc, "tcPr", kW);
            const int span = std::clamp(IntegerValue(Child(tcPr, "gridSpan", kW)).value_or(1), 1, 1000);
            Cell cell{tc, column, span};
            const xmlNode* vMerge = Child(tcPr, "vMerge", kW);
            if (vMerge && Attribute(vMerge, "val", kW) != QLatin1String("restart") && openMerges.contains(column)) {
                const auto [row, index] = openMerges.value(column);
                ++rows[row][index].rowSpan;
                cell.continued = true;
            } else if (vMerge && Attribute(vMerge, "val", kW) == QLatin1String("restart")) {
                openMerges.insert(column, {rows.size(), cells.size()});
            } else {
                openMerges.remove(column);
            }
            cells.push_back(cell);
            column += span;
        }
        rows.push_back(std::move(cells));
    }
    int columns = 1;
    for (const auto& cells : rows) {
        if (!cells.empty())
            columns = std::max(columns, cells.back().column + cells.back().span);
    }
    m_builder.startTable(static_cast<int>(std::min<size_t>(rows.size(), INT_MAX)), columns);
    for (const auto& cells : rows) {
        m_builder.startRow();
        for (const Cell& cell : cells) {
            if (cell.continued)
                continue;
            m_builder.startCell(cell.span, cell.rowSpan);
            body(cell.node);
        }
    }
    m_builder.endTable();
}

} // namespace

bool ReadDOCX(const QByteArray& package, QTextDocument& document, QString* error)
{
    return DocumentReading::ReadPackageWith<Parser>(package, document, error);
}

bool ReadWordML(const QByteArray& xml, QTextDocument& document, QString* error)
{
    return ReadDocumentXML(xml, document, error);
}

bool ReadDocumentXML(const QByteArray& xml, QTextDocument& document, QString* error)
{
    return DocumentReading::ReadPartWith<Parser>(document, [&](Parser& parser) { return parser.readMain(xml, error); });
}

} // namespace DOCXReader
