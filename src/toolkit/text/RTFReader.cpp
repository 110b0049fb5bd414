#include "toolkit/text/RTFReader.h"

#include "platform/TextEncoding.h"
#include "toolkit/text/EmbeddedImage.h"
#include "toolkit/text/RTFTokenizer.h"
#include "toolkit/text/TextDocumentBuilder.h"
#include "toolkit/text/TextReadLimits.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QMap>
#include <QTextDocument>

#include <algorithm>
#include <cctype>
#include <climits>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace RTFReader {

namespace {

enum class Destination {
    Text,
    Skip,
    FontTable,
    ColorTable,
    StyleSheet,
    ListTable,
    ListOverrideTable,
    Picture,
    FieldInstruction,
    NeXTGraphic,
    OldListNumbering,
};

struct CharState {
    int font = -1;
    int halfPoints = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int color = 0;
    int background = 0;
    int vertical = 0; // 1 superscript, 2 subscript
    QString href;
};

struct ParagraphState {
    int alignment = 0; // 0 left, 1 centre, 2 right, 3 justified
    int leftIndent = 0, rightIndent = 0, firstIndent = 0, spaceBefore = 0, spaceAfter = 0; // twips
    bool inTable = false;
    bool pageBreakBefore = false;
    int listOverride = 0;
    int listLevel = 0;
    int style = -1;
    int outlineLevel = -1;
    int oldListKind = 0; // \pn numbering: 1 bullet, 2 numbered
};

struct Group {
    Destination destination = Destination::Text;
    CharState chars;
    ParagraphState paragraph;
    int unicodeSkip = 1;
    int fontCodepage = 0; // codepage of the group's font, 0 for the document's
};

struct Font {
    QString name;
    int codepage = 0;
};

struct PictureData {
    QByteArray hex;
    QByteArray binary;
    bool known = false; // a format Qt decodes (PNG, JPEG)
    int widthPixels = 0, heightPixels = 0, widthGoal = 0, heightGoal = 0, scaleX = 100, scaleY = 100;
};

struct CellDefinition {
    bool mergeFirst = false;
    bool mergeContinued = false;
    int right = 0; // the cell's right edge (\cellx), twips
};

QString CodepageName(int codepage)
{
    switch (codepage) {
    case 10000:
        return QStringLiteral("MACINTOSH");
    case 65001:
        return QStringLiteral("UTF-8");
    case 0:
        return QStringLiteral("CP1252");
    default:
        return QStringLiteral("CP%1").arg(codepage);
    }
}

int CharsetCodepage(int charset)
{
    static const std::unordered_map<int, int> table = {
        {0, 1252},   {2, 1252},   {77, 10000}, {128, 932}, {129, 949}, {134, 936}, {136, 950},
        {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251},
        {222, 874},  {238, 1250},
    };
    const auto it = table.find(charset);
    return it == table.end() ? 0 : it->second;
}

QTextListFormat::Style ListStyleOfNumberFormat(int nfc)
{
    switch (nfc) {
    case 0:
        return QTextListFormat::ListDecimal;
    case 1:
        return QTextListFormat::ListUpperRoman;
    case 2:
        return QTextListFormat::ListLowerRoman;
    case 3:
        return QTextListFormat::ListUpperAlpha;
    case 4:
        return QTextListFormat::ListLowerAlpha;
    default:
        return QTextListFormat::ListDisc;
    }
}

class Parser {
public:
    Parser(const QByteArray& bytes, QTextDocument& document, const AttachmentLoader& attachments)
        : m_tokens(bytes)
        , m_builder(document)
        , m_attachments(attachments)
    {
    }

    bool run(QString* error);

private:
    Group& top() { return m_groups.back(); }
    bool pushGroup();
    void popGroup();
    void controlWord(const RTFTokenizer::Token& token);
    void controlSymbol(char symbol);
    void textByte(unsigned char byte, bool fromHex);
    void appendCharacter(QChar c);
    void flushBytes();
    void flushText();
    void destinationText(const QString& text);
    bool characterControl(std::string_view word, bool has, int value);
    bool paragraphControl(std::string_view word, bool has, int value);
    bool tableControl(std::string_view word, int value);
    bool destinationControl(std::string_view word);
    bool listControl(std::string_view word, int value);
    void pictureControl(std::string_view word, int value);
    void beginParagraph();
    void endParagraph();
    void endCell();
    void endRow();
    void finishPicture(PictureData& picture);
    void finishAttachment();
    QTextCharFormat charFormat() const;
    QTextBlockFormat blockFormat() const;

    RTFTokenizer m_tokens;
    TextDocumentBuilder m_builder;
    const AttachmentLoader& m_attachments;
    std::vector<Group> m_groups;
    int64_t m_groupCount = 0;
    bool m_starPending = false;
    int m_skipCharacters = 0;
    int m_documentCodepage = 1252;
    int m_defaultFont = 0;
    bool m_failed = false;
    QString m_failure;

    QByteArray m_pendingBytes;
    QString m_pendingText;

    std::unordered_map<int, Font> m_fonts;
    int m_currentFont = -1;
    std::vector<QColor> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSet = false;
    std::unordered_map<int, int> m_styleHeadingLevels;
    int m_currentStyle = -1;
    int m_currentStyleOutline = -1;

    // lists: \listid -> level number formats; \ls -> \listid
    std::unordered_map<int, std::vector<int>> m_listLevels;
    std::vector<int> m_currentListLevels;
    int m_currentListId = 0;
    std::unordered_map<int, int> m_overrides;
    int m_currentOverrideList = 0;

    std::vector<PictureData> m_pictures; // one per open picture group
    QString m_attachmentName;
    int m_attachmentWidth = 0, m_attachmentHeight = 0;
    bool m_skipAttachmentCharacter = false;
    QString m_fieldInstruction;

    bool m_paragraphOpen = false;
    bool m_tableOpen = false;
    bool m_cellOpen = false;
    bool m_rowEnded = false;
    int m_cellIndex = 0;
    std::vector<CellDefinition> m_rowCells;
    std::vector<int> m_gridEdges; // the right edges of the table's first row: its column grid
    CellDefinition m_nextCell;
};

bool Parser::pushGroup()
{
    flushText();
    if (static_cast<int>(m_groups.size()) >= TextReadLimits::kMaxGroupDepth) {
        m_failure = QStringLiteral("groups nested too deeply");
        return false;
    }
    if (++m_groupCount > TextReadLimits::kMaxGroupCount) {
        m_failure = QStringLiteral("too many groups");
        return false;
    }
    m_groups.push_back(m_groups.empty() ? Group() : m_groups.back());
    m_skipCharacters = 0;
    return true;
}

void Parser::popGroup()
{
    flushText();
    const Destination ending = top().destination;
    const Destination outer = m_groups.size() >= 2 ? m_groups[m_groups.size() - 2].destination : Destination::Skip;
    if (ending == Destination::Picture && outer != Destination::Picture && !m_pictures.empty()) {
        finishPicture(m_pictures.back());
        m_pictures.pop_back();
    } else if (ending == Destination::NeXTGraphic && outer != Destination::NeXTGraphic) {
        finishAttachment();
    } else if (ending == Destination::StyleSheet && outer == Destination::StyleSheet) {
        m_currentStyle = -1; // an entry without \s names no numbered style
    }
    m_groups.pop_back();
    m_skipCharacters = 0;
}

QTextCharFormat Parser::charFormat() const
{
    const CharState& chars = m_groups.back().chars;
    QTextCharFormat format;
    const auto font = m_fonts.find(chars.font >= 0 ? chars.font : m_defaultFont);
    if (font != m_fonts.end() && !font->second.name.isEmpty())
        format.setFontFamilies(QStringList{font->second.name});
    if (chars.halfPoints > 0)
        format.setFontPointSize(chars.halfPoints / 2.0);
    if (chars.bold)
        format.setFontWeight(QFont::Bold);
    if (chars.italic)
        format.setFontItalic(true);
    if (chars.underline)
        format.setFontUnderline(true);
    if (chars.strike)
        format.setFontStrikeOut(true);
    if (chars.color > 0 && chars.color < static_cast<int>(m_colors.size()) && m_colors[chars.color].isValid())
        format.setForeground(m_colors[chars.color]);
    if (chars.background > 0 && chars.background < static_cast<int>(m_colors.size())
        && m_colors[chars.background].isValid())
        format.setBackground(m_colors[chars.background]);
    if (chars.vertical == 1)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (chars.vertical == 2)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (!chars.href.isEmpty()) {
        format.setAnchor(true);
        format.setAnchorHref(chars.href);
    }
    return format;
}

QTextBlockFormat Parser::blockFormat() const
{
    const ParagraphState& paragraph = m_groups.back().paragraph;
    QTextBlockFormat format;
    static const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    if (paragraph.alignment > 0)
        format.setAlignment(alignments[paragraph.alignment & 3]);
    if (paragraph.listOverride == 0 && paragraph.oldListKind == 0) {
        if (paragraph.leftIndent > 0)
            format.setLeftMargin(paragraph.leftIndent / 20.0);
        if (paragraph.firstIndent != 0)
            format.setTextIndent(paragraph.firstIndent / 20.0);
    }
    if (paragraph.rightIndent > 0)
        format.setRightMargin(paragraph.rightIndent / 20.0);
    if (paragraph.spaceBefore > 0)
        format.setTopMargin(paragraph.spaceBefore / 20.0);
    if (paragraph.spaceAfter > 0)
        format.setBottomMargin(paragraph.spaceAfter / 20.0);
    if (paragraph.pageBreakBefore)
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    int heading = paragraph.outlineLevel >= 0 ? paragraph.outlineLevel + 1 : 0;
    if (heading == 0 && paragraph.style >= 0) {
        const auto it = m_styleHeadingLevels.find(paragraph.style);
        if (it != m_styleHeadingLevels.end())
            heading = it->second;
    }
    if (heading >= 1 && heading <= 6)
        format.setHeadingLevel(heading);
    return format;
}

void Parser::beginParagraph()
{
    if (m_paragraphOpen)
        return;
    const ParagraphState& paragraph = top().paragraph;
    if (!paragraph.inTable && m_tableOpen) {
        m_builder.endTable();
        m_tableOpen = m_cellOpen = false;
    }
    if (paragraph.inTable) {
        if (!m_tableOpen) {
            m_builder.startTable();
            m_tableOpen = true;
            m_rowEnded = true;
            m_gridEdges.clear();
            for (const CellDefinition& cell : m_rowCells)
                m_gridEdges.push_back(cell.right);
        }
        if (!m_cellOpen) {
            if (m_rowEnded) {
                m_builder.startRow();
                m_rowEnded = false;
                m_cellIndex = 0;
            }
            // cells merged into the one before them take no cell of their own
            int span = 1;
            const auto index = static_cast<size_t>(m_cellIndex);
            const bool continued = index < m_rowCells.size() && m_rowCells[index].mergeContinued;
            if (!continued) {
                if (index < m_rowCells.size() && m_rowCells[index].mergeFirst) {
                    while (index + static_cast<size_t>(span) < m_rowCells.size()
                           && m_rowCells[index + static_cast<size_t>(span)].mergeContinued)
                        ++span;
                } else if (index < m_rowCells.size()) {
                    // a cell as wide as several columns of the first row spans them
                    const int left = index > 0 ? m_rowCells[index - 1].right : INT_MIN;
                    const int right = m_rowCells[index].right;
                    const auto edges = std::count_if(m_gridEdges.begin(), m_gridEdges.end(), [&](int edge) {
                        return edge > left + 20 && edge <= right + 20;
                    });
                    span = std::max(1, static_cast<int>(edges));
                }
                m_builder.startCell(span);
            }
            m_cellOpen = true;
        }
    }
    m_builder.startParagraph(blockFormat(), charFormat());
    if (paragraph.listOverride > 0) {
        const int listId = m_overrides.count(paragraph.listOverride) ? m_overrides[paragraph.listOverride] : 0;
        const auto levels = m_listLevels.find(listId);
        const int level = std::clamp(paragraph.listLevel, 0, 8);
        int nfc = 23;
        if (levels != m_listLevels.end() && level < static_cast<int>(levels->second.size()))
            nfc = levels->second[static_cast<size_t>(level)];
        // outline numbering without a label (LibreOffice's headings) is no list
        if (nfc == 255) {
            m_paragraphOpen = true;
            return;
        }
        QTextListFormat format;
        format.setStyle(ListStyleOfNumberFormat(nfc));
        format.setIndent(level + 1);
        m_builder.setParagraphList(QStringLiteral("ls%1-%2").arg(paragraph.listOverride).arg(level), format);
    } else if (paragraph.oldListKind > 0) {
        QTextListFormat format;
        format.setStyle(paragraph.oldListKind == 2 ? QTextListFormat::ListDecimal : QTextListFormat::ListDisc);
        m_builder.setParagraphList(QStringLiteral("pn%1").arg(paragraph.oldListKind), format);
    }
    m_paragraphOpen = true;
}

void Parser::endParagraph()
{
    flushText();
    beginParagraph();
    m_paragraphOpen = false;
}

void Parser::endCell()
{
    flushText();
    const auto index = static_cast<size_t>(m_cellIndex);
    const bool continued = index < m_rowCells.size() && m_rowCells[index].mergeContinued;
    // an empty cell still takes its place; an empty cell merged into the one before adds nothing
    if (!m_paragraphOpen && !continued) {
        top().paragraph.inTable = true;
        beginParagraph();
    }
    m_paragraphOpen = false;
    m_cellOpen = false;
    ++m_cellIndex;
}

void Parser::endRow()
{
    flushText();
    if (m_cellOpen)
        m_cellOpen = false;
    m_paragraphOpen = false;
    m_rowEnded = true;
}

void Parser::flushBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    const int codepage = top().fontCodepage ? top().fontCodepage : m_documentCodepage;
    const auto decoded = TextEncoding::decodeLossy(m_pendingBytes, CodepageName(codepage));
    m_pendingText += decoded ? *decoded : QString::fromLatin1(m_pendingBytes);
    m_pendingBytes.clear();
}

void Parser::flushText()
{
    flushBytes();
    if (m_pendingText.isEmpty())
        return;
    QString text;
    text.swap(m_pendingText);
    if (top().destination != Destination::Text) {
        destinationText(text);
        return;
    }
    beginParagraph();
    m_builder.insertText(text, charFormat());
}

void Parser::destinationText(const QString& text)
{
    switch (top().destination) {
    case Destination::FontTable:
        if (m_currentFont >= 0) {
            Font& font = m_fonts[m_currentFont];
            font.name += text;
            const qsizetype end = font.name.indexOf(u';');
            if (end >= 0)
                font.name = font.name.left(end).trimmed();
        }
        break;
    case Destination::ColorTable:
        for (const QChar c : text) {
            if (c == u';') {
                m_colors.push_back(m_colorSet ? QColor(m_red, m_green, m_blue) : QColor());
                m_red = m_green = m_blue = 0;
                m_colorSet = false;
            }
        }
        break;
    case Destination::StyleSheet:
        if (m_currentStyle >= 0) {
            const QString name = text.section(u';', 0, 0).trimmed().toLower();
            if (name.startsWith(QLatin1String("heading "))) {
                bool ok = false;
                const int level = name.mid(8).toInt(&ok);
                if (ok && level >= 1 && level <= 6)
                    m_styleHeadingLevels[m_currentStyle] = level;
            }
            if (m_currentStyleOutline >= 0 && m_currentStyleOutline < 6)
                m_styleHeadingLevels.emplace(m_currentStyle, m_currentStyleOutline + 1);
        }
        break;
    case Destination::FieldInstruction:
        if (m_fieldInstruction.size() < 4096)
            m_fieldInstruction += text;
        break;
    case Destination::NeXTGraphic:
        if (m_attachmentName.size() < 1024)
            m_attachmentName += text;
        break;
    default:
        break;
    }
}

void Parser::appendCharacter(QChar c)
{
    flushBytes();
    m_pendingText.append(c);
}

void Parser::textByte(unsigned char byte, bool fromHex)
{
    if (m_skipCharacters > 0) {
        --m_skipCharacters;
        return;
    }
    const Destination destination = top().destination;
    if (destination == Destination::Skip || destination == Destination::OldListNumbering)
        return;
    if (destination == Destination::Picture) {
        if (!m_pictures.empty() && !fromHex) {
            QByteArray& hex = m_pictures.back().hex;
            if (hex.size() < 2 * TextReadLimits::kMaxEmbeddedObjectBytes + 2)
                hex.append(static_cast<char>(byte));
            else {
                m_failed = true;
                m_failure = QStringLiteral("embedded picture too large");
            }
        }
        return;
    }
    if (m_skipAttachmentCharacter) {
        m_skipAttachmentCharacter = false;
        if (byte == 0xAC) // the attachment's place holder
            return;
    }
    m_pendingBytes.append(static_cast<char>(byte));
}

bool Parser::characterControl(std::string_view word, bool has, int value)
{
    CharState& chars = top().chars;
    const bool on = !has || value != 0;
    if (word == "plain") {
        chars = CharState{.href = chars.href};
        top().fontCodepage = 0;
    } else if (word == "f") {
        if (top().destination == Destination::FontTable) {
            m_currentFont = value;
            m_fonts[value] = Font{};
        } else {
            chars.font = value;
            const auto it = m_fonts.find(value);
            top().fontCodepage = it == m_fonts.end() ? 0 : it->second.codepage;
        }
    } else if (word == "fcharset") {
        if (top().destination == Destination::FontTable && m_currentFont >= 0)
            m_fonts[m_currentFont].codepage = CharsetCodepage(value);
    } else if (word == "cpg") {
        if (top().destination == Destination::FontTable && m_currentFont >= 0)
            m_fonts[m_currentFont].codepage = value;
    } else if (word == "fs") {
        chars.halfPoints = std::clamp(value, 0, 3276);
    } else if (word == "b") {
        chars.bold = on;
    } else if (word == "i") {
        chars.italic = on;
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "uldash"
               || word == "ulth" || word == "ulwave" || word == "uldashd" || word == "ulhair") {
        chars.underline = on;
    } else if (word == "ulnone") {
        chars.underline = false;
    } else if (word == "strike" || word == "striked") {
        chars.strike = on;
    } else if (word == "cf") {
        chars.color = value;
    } else if (word == "cb" || word == "highlight" || word == "chcbpat") {
        chars.background = value;
    } else if (word == "super") {
        chars.vertical = 1;
    } else if (word == "sub") {
        chars.vertical = 2;
    } else if (word == "nosupersub") {
        chars.vertical = 0;
    } else {
        return false;
    }
    return true;
}

bool Parser::paragraphControl(std::string_view word, bool has, int value)
{
    ParagraphState& paragraph = top().paragraph;
    if (word == "pard") {
        paragraph = ParagraphState{};
    } else if (word == "par") {
        endParagraph();
    } else if (word == "page") {
        endParagraph();
        m_builder.breakPageBeforeNextParagraph();
    } else if (word == "pagebb") {
        paragraph.pageBreakBefore = !has || value != 0;
    } else if (word == "ql") {
        paragraph.alignment = 0;
    } else if (word == "qc") {
        paragraph.alignment = 1;
    } else if (word == "qr") {
        paragraph.alignment = 2;
    } else if (word == "qj") {
        paragraph.alignment = 3;
    } else if (word == "li") {
        paragraph.leftIndent = std::clamp(value, -31680, 31680);
    } else if (word == "ri") {
        paragraph.rightIndent = std::clamp(value, -31680, 31680);
    } else if (word == "fi") {
        paragraph.firstIndent = std::clamp(value, -31680, 31680);
    } else if (word == "sb") {
        paragraph.spaceBefore = std::clamp(value, 0, 31680);
    } else if (word == "sa") {
        paragraph.spaceAfter = std::clamp(value, 0, 31680);
    } else if (word == "s") {
        if (top().destination == Destination::StyleSheet) {
            m_currentStyle = value;
            m_currentStyleOutline = -1;
        } else {
            paragraph.style = value;
        }
    } else if (word == "outlinelevel") {
        if (top().destination == Destination::StyleSheet)
            m_currentStyleOutline = value;
        else
            paragraph.outlineLevel = value;
    } else if (word == "ls") {
        if (top().destination == Destination::ListOverrideTable)
            m_overrides[value] = m_currentOverrideList;
        else
            paragraph.listOverride = value;
    } else if (word == "ilvl") {
        paragraph.listLevel = value;
    } else {
        return false;
    }
    return true;
}

bool Parser::tableControl(std::string_view word, int value)
{
    (void)value;
    if (word == "intbl") {
        top().paragraph.inTable = true;
    } else if (word == "cell") {
        endCell();
    } else if (word == "row") {
        endRow();
    } else if (word == "trowd") {
        m_rowCells.clear();
        m_nextCell = {};
    } else if (word == "clmgf") {
        m_nextCell.mergeFirst = true;
    } else if (word == "clmrg") {
        m_nextCell.mergeContinued = true;
    } else if (word == "cellx") {
        m_nextCell.right = value;
        if (m_rowCells.size() < static_cast<size_t>(TextReadLimits::kMaxTableColumns))
            m_rowCells.push_back(m_nextCell);
        m_nextCell = {};
    } else if (word == "nestcell" || word == "nestrow") {
        // tables inside tables keep their text as paragraphs of the cell
        endParagraph();
    } else {
        return false;
    }
    return true;
}

bool Parser::listControl(std::string_view word, int value)
{
    const Destination destination = top().destination;
    if (destination == Destination::ListTable) {
        if (word == "list") {
            m_currentListLevels.clear();
            m_currentListId = 0;
        } else if (word == "listlevel") {
            m_currentListLevels.push_back(23);
        } else if (word == "levelnfc" || word == "levelnfcn") {
            if (!m_currentListLevels.empty())
                m_currentListLevels.back() = value;
        } else if (word == "listid") {
            m_currentListId = value;
            m_listLevels[value] = m_currentListLevels;
        } else {
            return false;
        }
        return true;
    }
    if (destination == Destination::ListOverrideTable) {
        if (word == "listid") {
            m_currentOverrideList = value;
            return true;
        }
        return false;
    }
    if (destination == Destination::OldListNumbering) {
        if (word == "pnlvlblt")
            top().paragraph.oldListKind = 1;
        else if (word == "pnlvlbody" || word == "pndec")
            top().paragraph.oldListKind = 2;
        else
            return false;
        // the numbering belongs to the paragraph around the \pn group
        if (m_groups.size() >= 2)
            m_groups[m_groups.size() - 2].paragraph.oldListKind = top().paragraph.oldListKind;
        return true;
    }
    return false;
}

void Parser::pictureControl(std::string_view word, int value)
{
    if (m_pictures.empty())
        return;
    PictureData& picture = m_pictures.back();
    if (word == "pngblip" || word == "jpegblip")
        picture.known = true;
    else if (word == "emfblip" || word == "wmetafile" || word == "macpict" || word == "dibitmap"
             || word == "wbitmap" || word == "pmmetafile")
        picture.known = false;
    else if (word == "picw")
        picture.widthPixels = value;
    else if (word == "pich")
        picture.heightPixels = value;
    else if (word == "picwgoal")
        picture.widthGoal = value;
    else if (word == "pichgoal")
        picture.heightGoal = value;
    else if (word == "picscalex")
        picture.scaleX = value;
    else if (word == "picscaley")
        picture.scaleY = value;
    else if (word == "bin") {
        if (value < 0 || value > TextReadLimits::kMaxEmbeddedObjectBytes) {
            m_failed = true;
            m_failure = QStringLiteral("embedded picture too large");
            return;
        }
        picture.binary += m_tokens.takeBytes(value);
    }
}

bool Parser::destinationControl(std::string_view word)
{
    static const std::unordered_map<std::string_view, Destination> destinations = {
        {"fonttbl", Destination::FontTable},
        {"colortbl", Destination::ColorTable},
        {"stylesheet", Destination::StyleSheet},
        {"listtable", Destination::ListTable},
        {"listoverridetable", Destination::ListOverrideTable},
        {"pict", Destination::Picture},
        {"fldinst", Destination::FieldInstruction},
        {"NeXTGraphic", Destination::NeXTGraphic},
        {"pn", Destination::OldListNumbering},
        {"info", Destination::Skip},
        {"header", Destination::Skip},
        {"headerl", Destination::Skip},
        {"headerr", Destination::Skip},
        {"headerf", Destination::Skip},
        {"footer", Destination::Skip},
        {"footerl", Destination::Skip},
        {"footerr", Destination::Skip},
        {"footerf", Destination::Skip},
        {"footnote", Destination::Skip},
        {"nonshppict", Destination::Skip},
        {"listtext", Destination::Skip},
        {"pntext", Destination::Skip},
        {"objdata", Destination::Skip},
        {"xe", Destination::Skip},
        {"tc", Destination::Skip},
        {"annotation", Destination::Skip},
        {"leveltext", Destination::Skip},
        {"levelnumbers", Destination::Skip},
        {"listname", Destination::Skip},
        {"filetbl", Destination::Skip},
        {"revtbl", Destination::Skip},
        {"rsidtbl", Destination::Skip},
        {"generator", Destination::Skip},
    };
    // destinations whose text is the document's own, though writers mark them with \*
    static const std::unordered_map<std::string_view, bool> transparent = {
        {"shppict", true}, {"fldrslt", true}, {"field", true}, {"object", true}, {"result", true},
    };
    const bool starred = m_starPending;
    m_starPending = false;
    const auto it = destinations.find(word);
    if (it != destinations.end()) {
        const Destination current = top().destination;
        Destination next = it->second;
        // inside the list table, \leveltext and the like are parts of a level, not text
        if (current == Destination::Skip)
            next = Destination::Skip;
        if (next == Destination::Picture) {
            if (current == Destination::Picture)
                return true;
            m_pictures.emplace_back();
        }
        if (next == Destination::FieldInstruction)
            m_fieldInstruction.clear();
        if (next == Destination::NeXTGraphic) {
            m_attachmentName.clear();
            m_attachmentWidth = m_attachmentHeight = 0;
        }
        top().destination = next;
        return true;
    }
    if (transparent.count(word)) {
        if (word == "fldrslt") {
            const QString instruction = m_fieldInstruction.trimmed();
            if (instruction.startsWith(QLatin1String("HYPERLINK"))) {
                QString target = instruction.mid(9).trimmed();
                const qsizetype open = target.indexOf(u'"');
                if (open >= 0)
                    target = target.mid(open + 1).section(u'"', 0, 0);
                top().chars.href = target;
            }
        }
        return true;
    }
    if (starred) {
        top().destination = Destination::Skip;
        return true;
    }
    return false;
}

void Parser::controlWord(const RTFTokenizer::Token& token)
{
    const std::string_view word = token.word;
    const int value = token.parameter;
    if (word == "bin" && top().destination != Destination::Picture) {
        // binary data outside a picture is not text: skip it
        if (token.hasParameter && value > 0)
            m_tokens.takeBytes(value);
        return;
    }
    if (top().destination == Destination::Picture) {
        flushText();
        if (word != "pict")
            pictureControl(word, value);
        if (m_starPending && word != "pict") {
            m_starPending = false;
            top().destination = Destination::Skip;
        }
        return;
    }
    if (word == "u") {
        if (m_skipCharacters > 0)
            m_skipCharacters = 0;
        const int unit = value < 0 ? value + 65536 : value;
        if (top().destination != Destination::Skip)
            appendCharacter(QChar(static_cast<char16_t>(unit & 0xFFFF)));
        m_skipCharacters = top().unicodeSkip;
        return;
    }
    m_skipCharacters = 0;
    if (word == "uc") {
        top().unicodeSkip = std::clamp(value, 0, 10);
        return;
    }
    flushText();
    if (destinationControl(word))
        return;
    const Destination destination = top().destination;
    if (destination == Destination::Skip)
        return;
    if (destination == Destination::ColorTable) {
        if (word == "red")
            m_red = std::clamp(value, 0, 255), m_colorSet = true;
        else if (word == "green")
            m_green = std::clamp(value, 0, 255), m_colorSet = true;
        else if (word == "blue")
            m_blue = std::clamp(value, 0, 255), m_colorSet = true;
        return;
    }
    if (destination == Destination::NeXTGraphic) {
        if (word == "width")
            m_attachmentWidth = value;
        else if (word == "height")
            m_attachmentHeight = value;
        else
            m_attachmentName += QChar(u'\x01'); // the name ends at the first control word
        return;
    }
    if (listControl(word, value))
        return;
    if (destination == Destination::FontTable) {
        if (word == "f" || word == "fcharset" || word == "cpg")
            characterControl(word, token.hasParameter, value);
        return;
    }
    if (destination == Destination::StyleSheet || destination == Destination::ListOverrideTable) {
        if (word == "s" || word == "outlinelevel" || word == "ls")
            paragraphControl(word, token.hasParameter, value);
        return;
    }
    if (destination != Destination::Text)
        return;
    if (word == "ansicpg") {
        if (value > 0)
            m_documentCodepage = value;
        return;
    }
    if (word == "mac") {
        m_documentCodepage = 10000;
        return;
    }
    if (word == "deff") {
        m_defaultFont = value;
        return;
    }
    if (characterControl(word, token.hasParameter, value) || paragraphControl(word, token.hasParameter, value)
        || tableControl(word, value))
        return;
    static const std::unordered_map<std::string_view, char16_t> specials = {
        {"tab", u'\t'},        {"line", 0x2028},       {"emdash", 0x2014},   {"endash", 0x2013},
        {"bullet", 0x2022},    {"lquote", 0x2018},     {"rquote", 0x2019},   {"ldblquote", 0x201C},
        {"rdblquote", 0x201D}, {"emspace", 0x2003},    {"enspace", 0x2002},  {"qmspace", 0x2005},
        {"zwj", 0x200D},       {"zwnj", 0x200C},       {"ltrmark", 0x200E},  {"rtlmark", 0x200F},
    };
    const auto special = specials.find(word);
    if (special != specials.end())
        appendCharacter(QChar(special->second));
}

void Parser::controlSymbol(char symbol)
{
    if (symbol == '*') {
        m_starPending = true;
        return;
    }
    if (top().destination == Destination::Picture)
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        textByte(static_cast<unsigned char>(symbol), false);
        break;
    case '~':
        appendCharacter(QChar(0x00A0));
        break;
    case '-':
        appendCharacter(QChar(0x00AD));
        break;
    case '_':
        appendCharacter(QChar(0x2011));
        break;
    case '\n':
        if (top().destination == Destination::Text)
            endParagraph(); // an escaped line end is \par
        break;
    case '\t':
        appendCharacter(u'\t');
        break;
    default:
        break;
    }
}

void Parser::finishPicture(PictureData& picture)
{
    if (!picture.known)
        return;
    QByteArray data = picture.binary;
    if (data.isEmpty()) {
        QByteArray hex;
        hex.reserve(picture.hex.size());
        for (const char c : picture.hex) {
            if (std::isxdigit(static_cast<unsigned char>(c)))
                hex.append(c);
        }
        data = QByteArray::fromHex(hex);
    }
    const QImage image = DecodeEmbeddedImage(data);
    if (image.isNull())
        return;
    double width = picture.widthGoal > 0 ? picture.widthGoal / 20.0 : image.width() * 0.75;
    double height = picture.heightGoal > 0 ? picture.heightGoal / 20.0 : image.height() * 0.75;
    width *= std::clamp(picture.scaleX, 1, 1000) / 100.0;
    height *= std::clamp(picture.scaleY, 1, 1000) / 100.0;
    m_groups.pop_back(); // the picture belongs to the group around it
    beginParagraph();
    m_builder.insertImage(image, width, height, charFormat());
    m_groups.push_back(m_groups.back());
}

void Parser::finishAttachment()
{
    const QString name = m_attachmentName.section(QChar(u'\x01'), 0, 0).trimmed();
    m_skipAttachmentCharacter = true;
    if (name.isEmpty() || !m_attachments)
        return;
    const QImage image = DecodeEmbeddedImage(m_attachments(name));
    if (image.isNull())
        return;
    const double width = m_attachmentWidth > 0 ? m_attachmentWidth / 20.0 : 0;
    const double height = m_attachmentHeight > 0 ? m_attachmentHeight / 20.0 : 0;
    m_groups.pop_back();
    beginParagraph();
    m_builder.insertImage(image, width, height, charFormat());
    m_groups.push_back(m_groups.back());
}

bool Parser::run(QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    RTFTokenizer::Token token = m_tokens.next();
    if (token.kind != RTFTokenizer::Kind::GroupStart)
        return fail(QStringLiteral("not an RTF document"));
    token = m_tokens.next();
    if (token.kind != RTFTokenizer::Kind::ControlWord || token.word != "rtf")
        return fail(QStringLiteral("not an RTF document"));
    m_groups.emplace_back();
    m_groupCount = 1;
    m_colors.clear();
    for (;;) {
        if (m_failed)
            return fail(m_failure);
        if (m_builder.exceeded())
            return fail(QStringLiteral("a table beyond the readers' bounds"));
        token = m_tokens.next();
        switch (token.kind) {
        case RTFTokenizer::Kind::End:
            goto done;
        case RTFTokenizer::Kind::GroupStart:
            if (!pushGroup())
                return fail(m_failure);
            break;
        case RTFTokenizer::Kind::GroupEnd:
            if (m_groups.size() == 1)
                goto done; // the document's group is closed: what follows is not RTF
            popGroup();
            break;
        case RTFTokenizer::Kind::ControlWord:
            controlWord(token);
            break;
        case RTFTokenizer::Kind::ControlSymbol:
            controlSymbol(token.symbol);
            break;
        case RTFTokenizer::Kind::HexByte:
            if (top().destination == Destination::Picture) {
                if (!m_pictures.empty()) {
                    static const char digits[] = "0123456789abcdef";
                    m_pictures.back().hex.append(digits[token.byte >> 4]).append(digits[token.byte & 15]);
                }
                break;
            }
            textByte(token.byte, true);
            break;
        case RTFTokenizer::Kind::Text:
            if (top().destination == Destination::Picture) {
                textByte(token.byte, false);
                break;
            }
            if (m_skipCharacters > 0) {
                --m_skipCharacters;
                break;
            }
            textByte(token.byte, false);
            break;
        }
    }
done:
    if (m_failed)
        return fail(m_failure);
    while (m_groups.size() > 1)
        popGroup();
    flushText();
    m_builder.finish();
    if (m_builder.exceeded()) {
        if (error)
            *error = QStringLiteral("a table beyond the readers' bounds");
        return false;
    }
    return true;
}

} // namespace

bool Read(const QByteArray& rtf, QTextDocument& document, QString* error, const AttachmentLoader& attachments)
{
    if (rtf.size() > TextReadLimits::kMaxDocumentBytes) {
        if (error)
            *error = QStringLiteral("document too large");
        return false;
    }
    document.clear();
    Parser parser(rtf, document, attachments);
    if (!parser.run(error)) {
        document.clear();
        return false;
    }
    return true;
}

} // namespace RTFReader
