#include "toolkit/text/RTFParser.h"

#include "platform/TextEncoding.h"
#include "toolkit/text/EmbeddedImage.h"
#include "toolkit/text/TextReadLimits.h"

#include <QFont>
#include <QTextDocument>

#include <algorithm>
#include <cctype>
#include <climits>

namespace RTFReaderDetail {

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
        {0, 1252},
        {2, 1252},
        {77, 10000},
        {128, 932},
        {129, 949},
        {134, 936},
        {136, 950},
        {161, 1253},
        {162, 1254},
        {163, 1258},
        {177, 1255},
        {178, 1256},
        {186, 1257},
        {204, 1251},
        {222, 874},
        {238, 1250},
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

bool RTFParser::pushGroup()
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

void RTFParser::popGroup()
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

QTextCharFormat RTFParser::charFormat() const
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

QTextBlockFormat RTFParser::blockFormat() const
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

void RTFParser::beginParagraph()
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
                        // widened: a control word's value may sit at the edge of int
                        const long long at = edge;
                        return at > left + 20LL && at <= right + 20LL;
                    });
                    span = std::max(1, static_cast<int>(edges));
                }
                if (index < m_rowCells.size() && m_rowCells[index].mergeAbove)
                    m_builder.continueCellAbove(span);
                else
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

void RTFParser::endParagraph()
{
    flushText();
    beginParagraph();
    m_paragraphOpen = false;
}

void RTFParser::endCell()
{
    flushText();
    if (!m_paragraphOpen && !m_cellOpen && m_tableOpen && m_rowEnded) {
        m_builder.startRow();
        m_rowEnded = false;
        m_cellIndex = 0;
    }
    const auto index = static_cast<size_t>(m_cellIndex);
    const bool continued = index < m_rowCells.size() && m_rowCells[index].mergeContinued;
    const bool above = index < m_rowCells.size() && m_rowCells[index].mergeAbove;
    // an empty cell still takes its place; an empty cell merged into another adds nothing
    if (!m_paragraphOpen && !m_cellOpen && above && m_tableOpen) {
        int span = 1;
        while (index + static_cast<size_t>(span) < m_rowCells.size()
               && m_rowCells[index + static_cast<size_t>(span)].mergeContinued)
            ++span;
        m_builder.continueCellAbove(span);
    } else if (!m_paragraphOpen && !continued) {
        top().paragraph.inTable = true;
        beginParagraph();
    }
    m_paragraphOpen = false;
    m_cellOpen = false;
    ++m_cellIndex;
}

void RTFParser::endRow()
{
    flushText();
    if (m_cellOpen)
        m_cellOpen = false;
    m_paragraphOpen = false;
    m_rowEnded = true;
}

void RTFParser::flushBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    const int codepage = top().fontCodepage ? top().fontCodepage : m_documentCodepage;
    const auto decoded = TextEncoding::decodeLossy(m_pendingBytes, CodepageName(codepage));
    m_pendingText += decoded ? *decoded : QString::fromLatin1(m_pendingBytes);
    m_pendingBytes.clear();
}

void RTFParser::flushText()
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

void RTFParser::destinationText(const QString& text)
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

void RTFParser::appendCharacter(QChar c)
{
    flushBytes();
    m_pendingText.append(c);
}

void RTFParser::textByte(unsigned char byte, bool fromHex)
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

void RTFParser::finishPicture(PictureData& picture)
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

void RTFParser::finishAttachment()
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

bool RTFParser::run(QString* error)
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
            *error = m_builder.exceededReason();
        return false;
    }
    return true;
}

} // namespace RTFReaderDetail
