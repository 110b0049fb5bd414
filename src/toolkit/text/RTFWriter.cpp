#include "toolkit/text/RTFWriter.h"

#include "toolkit/text/TextDocumentWalk.h"

#include <QColor>
#include <QFont>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <vector>

namespace RTFWriter {

namespace {

int Twips(double points)
{
    return static_cast<int>(std::lround(points * 20.0));
}

int LevelNumberFormat(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal:
        return 0;
    case QTextListFormat::ListUpperRoman:
        return 1;
    case QTextListFormat::ListLowerRoman:
        return 2;
    case QTextListFormat::ListUpperAlpha:
        return 3;
    case QTextListFormat::ListLowerAlpha:
        return 4;
    default:
        return 23;
    }
}

class Writer {
public:
    Writer(const QTextDocument& document, const AttachmentSaver& attachments)
        : m_document(document)
        , m_attachments(attachments)
    {
    }

    QByteArray write();

private:
    void collect(const std::vector<TextFlowItem>& items);
    void collectFormat(const QTextCharFormat& format);
    void flow(const std::vector<TextFlowItem>& items, bool inTable);
    void table(const QTextTable& table);
    void paragraph(const QTextBlock& block, bool inTable, bool last);
    void run(const TextDocumentWalk::TextRun& run);
    void picture(const TextDocumentWalk::TextRun& run);
    void text(const QString& text);
    QByteArray header() const;
    int fontIndex(const QString& family) const { return static_cast<int>(m_fonts.indexOf(family)) + 1; }
    int colorIndex(const QColor& color) const { return static_cast<int>(m_colors.indexOf(color.rgb())) + 1; }

    const QTextDocument& m_document;
    const AttachmentSaver& m_attachments;
    QStringList m_fonts;
    QList<QRgb> m_colors;
    QList<const QTextList*> m_lists;
    QByteArray m_body;
};

void Writer::collectFormat(const QTextCharFormat& format)
{
    const QString family = TextDocumentWalk::FontFamily(format);
    if (!family.isEmpty() && !m_fonts.contains(family))
        m_fonts.append(family);
    for (const auto property : {QTextFormat::ForegroundBrush, QTextFormat::BackgroundBrush}) {
        if (format.hasProperty(property)) {
            const QRgb rgb = format.brushProperty(property).color().rgb();
            if (!m_colors.contains(rgb))
                m_colors.append(rgb);
        }
    }
}

void Writer::collect(const std::vector<TextFlowItem>& items)
{
    for (const TextFlowItem& item : items) {
        if (item.table) {
            for (int r = 0; r < item.table->rows(); ++r) {
                for (int c = 0; c < item.table->columns(); ++c) {
                    const QTextTableCell cell = item.table->cellAt(r, c);
                    if (TextDocumentWalk::IsCellOrigin(cell, r, c))
                        collect(TextDocumentWalk::CellItems(cell));
                }
            }
            continue;
        }
        collectFormat(item.block.charFormat());
        for (const auto& run : TextDocumentWalk::BlockRuns(item.block))
            collectFormat(run.format);
        const QTextList* list = item.block.textList();
        if (list && !m_lists.contains(list))
            m_lists.append(list);
    }
}

QByteArray Writer::header() const
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    // \f0 names no family: runs without one keep the reader's default
    out += "{\\f0\\fnil ;}";
    for (int i = 0; i < m_fonts.size(); ++i) {
        QByteArray name;
        for (const QChar c : m_fonts[i]) {
            if (c.unicode() < 0x80 && c != u'{' && c != u'}' && c != u'\\' && c != u';')
                name.append(static_cast<char>(c.unicode()));
            else
                name += "\\u" + QByteArray::number(static_cast<int16_t>(c.unicode())) + "?";
        }
        out += "{\\f" + QByteArray::number(i + 1) + "\\fnil\\fcharset0 " + name + ";}";
    }
    out += "}\n{\\colortbl;";
    for (const QRgb rgb : m_colors) {
        out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" + QByteArray::number(qGreen(rgb)) + "\\blue"
               + QByteArray::number(qBlue(rgb)) + ";";
    }
    out += "}\n{\\stylesheet{\\s0 Normal;}";
    for (int level = 1; level <= 6; ++level)
        out += "{\\s" + QByteArray::number(level) + "\\outlinelevel" + QByteArray::number(level - 1) + " heading "
               + QByteArray::number(level) + ";}";
    out += "}\n";
    if (!m_lists.isEmpty()) {
        out += "{\\*\\listtable";
        for (int i = 0; i < m_lists.size(); ++i) {
            const int nfc = LevelNumberFormat(m_lists[i]->format().style());
            out += "{\\list\\listtemplateid" + QByteArray::number(i + 1);
            for (int level = 0; level < 9; ++level) {
                out += "{\\listlevel\\levelnfc" + QByteArray::number(nfc) + "\\leveljc0\\levelfollow0\\levelstartat1";
                if (nfc == 23)
                    out += "{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}";
                else
                    out += "{\\leveltext\\'02\\'0" + QByteArray::number(level) + ".;}{\\levelnumbers\\'01;}";
                out += "\\fi-360\\li" + QByteArray::number(720 * (level + 1)) + "}";
            }
            out += "\\listid" + QByteArray::number(i + 1) + "}";
        }
        out += "}\n{\\*\\listoverridetable";
        for (int i = 0; i < m_lists.size(); ++i)
            out += "{\\listoverride\\listid" + QByteArray::number(i + 1) + "\\listoverridecount0\\ls"
                   + QByteArray::number(i + 1) + "}";
        out += "}\n";
    }
    return out;
}

void Writer::text(const QString& value)
{
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'\\':
            m_body += "\\\\";
            break;
        case u'{':
            m_body += "\\{";
            break;
        case u'}':
            m_body += "\\}";
            break;
        case u'\t':
            m_body += "\\tab ";
            break;
        case 0x2028:
            m_body += "\\line ";
            break;
        case 0x00A0:
            m_body += "\\~";
            break;
        default:
            if (u >= 0x20 && u < 0x80)
                m_body.append(static_cast<char>(u));
            else if (u >= 0x80)
                m_body += "\\u" + QByteArray::number(static_cast<int16_t>(u)) + "?";
            break;
        }
    }
}

void Writer::run(const TextDocumentWalk::TextRun& fragmentRun)
{
    if (fragmentRun.isImage) {
        picture(fragmentRun);
        return;
    }
    const QTextCharFormat& format = fragmentRun.format;
    QByteArray controls;
    const QString family = TextDocumentWalk::FontFamily(format);
    if (!family.isEmpty())
        controls += "\\f" + QByteArray::number(fontIndex(family));
    if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
        controls += "\\fs" + QByteArray::number(std::lround(format.fontPointSize() * 2));
    if (format.hasProperty(QTextFormat::FontWeight) && format.fontWeight() >= QFont::DemiBold)
        controls += "\\b";
    if (format.fontItalic())
        controls += "\\i";
    if (format.fontUnderline())
        controls += "\\ul";
    if (format.fontStrikeOut())
        controls += "\\strike";
    if (format.hasProperty(QTextFormat::ForegroundBrush))
        controls += "\\cf" + QByteArray::number(colorIndex(format.foreground().color()));
    if (format.hasProperty(QTextFormat::BackgroundBrush))
        controls += "\\highlight" + QByteArray::number(colorIndex(format.background().color()));
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        controls += "\\super";
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        controls += "\\sub";
    const bool link = format.isAnchor() && !format.anchorHref().isEmpty();
    if (link) {
        m_body += "{\\field{\\*\\fldinst{HYPERLINK \"";
        text(format.anchorHref());
        m_body += "\"}}{\\fldrslt";
    }
    m_body += "{" + controls;
    if (!controls.isEmpty())
        m_body += " ";
    text(fragmentRun.text);
    m_body += "}";
    if (link)
        m_body += "}}";
}

void Writer::picture(const TextDocumentWalk::TextRun& fragmentRun)
{
    QSize pixels;
    const QByteArray png = TextDocumentWalk::ImagePNG(m_document, fragmentRun.imageName, &pixels);
    if (png.isEmpty())
        return;
    const double width = fragmentRun.imageSize.width() > 0 ? fragmentRun.imageSize.width() : pixels.width();
    const double height = fragmentRun.imageSize.height() > 0 ? fragmentRun.imageSize.height() : pixels.height();
    if (m_attachments) {
        const QString name = m_attachments(png);
        if (name.isEmpty())
            return;
        m_body += "{{\\NeXTGraphic ";
        text(name);
        m_body += " \\width" + QByteArray::number(Twips(width)) + " \\height" + QByteArray::number(Twips(height))
                  + "}\\'ac}";
        return;
    }
    m_body += "{\\*\\shppict{\\pict\\pngblip\\picw" + QByteArray::number(pixels.width()) + "\\pich"
              + QByteArray::number(pixels.height()) + "\\picwgoal" + QByteArray::number(Twips(width)) + "\\pichgoal"
              + QByteArray::number(Twips(height)) + "\n";
    const QByteArray hex = png.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128)
        m_body += hex.mid(i, 128) + "\n";
    m_body += "}}";
}

void Writer::paragraph(const QTextBlock& block, bool inTable, bool last)
{
    const QTextBlockFormat format = block.blockFormat();
    m_body += "\\pard\\plain";
    if (inTable)
        m_body += "\\intbl";
    if (format.headingLevel() >= 1 && format.headingLevel() <= 6)
        m_body += "\\s" + QByteArray::number(format.headingLevel()) + "\\outlinelevel"
                  + QByteArray::number(format.headingLevel() - 1);
    switch (format.alignment() & Qt::AlignHorizontal_Mask) {
    case Qt::AlignHCenter:
        m_body += "\\qc";
        break;
    case Qt::AlignRight:
        m_body += "\\qr";
        break;
    case Qt::AlignJustify:
        m_body += "\\qj";
        break;
    default:
        break;
    }
    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        m_body += "\\pagebb";
    if (const QTextList* list = block.textList()) {
        const int level = std::clamp(list->format().indent() - 1, 0, 8);
        m_body += "\\ls" + QByteArray::number(m_lists.indexOf(list) + 1) + "\\ilvl" + QByteArray::number(level)
                  + "\\fi-360\\li" + QByteArray::number(720 * (level + 1));
    } else {
        if (format.leftMargin() > 0)
            m_body += "\\li" + QByteArray::number(Twips(format.leftMargin()));
        if (format.textIndent() != 0)
            m_body += "\\fi" + QByteArray::number(Twips(format.textIndent()));
    }
    if (format.rightMargin() > 0)
        m_body += "\\ri" + QByteArray::number(Twips(format.rightMargin()));
    if (format.topMargin() > 0)
        m_body += "\\sb" + QByteArray::number(Twips(format.topMargin()));
    if (format.bottomMargin() > 0)
        m_body += "\\sa" + QByteArray::number(Twips(format.bottomMargin()));
    m_body += " ";
    for (const auto& fragmentRun : TextDocumentWalk::BlockRuns(block))
        run(fragmentRun);
    if (!last)
        m_body += "\\par\n";
}

void Writer::flow(const std::vector<TextFlowItem>& items, bool inTable)
{
    for (size_t i = 0; i < items.size(); ++i) {
        const TextFlowItem& item = items[i];
        if (item.table) {
            if (inTable) {
                // a table inside a cell: its cells become paragraphs of the cell
                for (int r = 0; r < item.table->rows(); ++r) {
                    for (int c = 0; c < item.table->columns(); ++c) {
                        const QTextTableCell cell = item.table->cellAt(r, c);
                        if (!TextDocumentWalk::IsCellOrigin(cell, r, c))
                            continue;
                        flow(TextDocumentWalk::CellItems(cell), true);
                        m_body += "\\par\n";
                    }
                }
                continue;
            }
            table(*item.table);
            continue;
        }
        // In a cell the last paragraph ends with \cell; in the body the last has no \par.
        paragraph(item.block, inTable, i + 1 == items.size());
    }
}

void Writer::table(const QTextTable& table)
{
    const int columns = table.columns();
    const int width = 9360 / std::max(1, columns);
    for (int r = 0; r < table.rows(); ++r) {
        m_body += "\\trowd\\trgaph108\\trleft0";
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table.cellAt(r, c);
            if (cell.columnSpan() > 1 || c > cell.column())
                m_body += c == cell.column() ? "\\clmgf" : "\\clmrg";
            if (cell.rowSpan() > 1 || r > cell.row())
                m_body += r == cell.row() ? "\\clvmgf" : "\\clvmrg";
            m_body += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs"
                      "\\brdrw10\\cellx"
                      + QByteArray::number(width * (c + 1));
        }
        m_body += "\n";
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table.cellAt(r, c);
            if (TextDocumentWalk::IsCellOrigin(cell, r, c)) {
                const auto items = TextDocumentWalk::CellItems(cell);
                if (items.empty())
                    m_body += "\\pard\\plain\\intbl ";
                flow(items, true);
            } else {
                m_body += "\\pard\\plain\\intbl ";
            }
            m_body += "\\cell\n";
        }
        m_body += "\\row\n";
    }
}

QByteArray Writer::write()
{
    const auto items = TextDocumentWalk::FrameItems(m_document.rootFrame());
    collect(items);
    flow(items, false);
    return header() + m_body + "}\n";
}

} // namespace

QByteArray Write(const QTextDocument& document, const AttachmentSaver& attachments)
{
    return Writer(document, attachments).write();
}

} // namespace RTFWriter
