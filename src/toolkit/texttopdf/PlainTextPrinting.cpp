#include "toolkit/texttopdf/PlainTextPrinting.h"

#include "toolkit/text/TextAttributes.h"
#include "toolkit/texttopdf/TextDocumentPrinting.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextLayout>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <utility>

namespace PlainTextPrinting {

namespace {

// A piece holds at most this many characters and lines: some dozens of pages.
// The layout draws a page by walking the piece's paragraphs from its start, so a piece of many
// pages costs its paragraphs times its pages: pieces stay at a few pages.
constexpr qsizetype kPieceCharacters = 32 * 1024;
constexpr int kPieceLines = 400;
// More characters than a page that IsBlankPDFPage may call blank carries.
constexpr int kTextOfAPage = 6;

bool IsLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

// Where a line that runs on from start is best broken, at most kMaxLineCharacters on: after the
// last space of the second half, else at the last boundary between characters as shown, else
// (a character of thousands of marks) anywhere but inside a surrogate pair.
qsizetype BreakPoint(QStringView line)
{
    const qsizetype limit = kMaxLineCharacters;
    for (qsizetype at = limit; at > limit / 2; --at) {
        if (line[at - 1].isSpace())
            return at;
    }
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, line.first(limit + 1).toString());
    graphemes.setPosition(limit);
    if (graphemes.isAtBoundary())
        return limit;
    const qsizetype boundary = graphemes.toPreviousBoundary();
    if (boundary > 0)
        return boundary;
    return line[limit - 1].isHighSurrogate() ? limit - 1 : limit;
}

void AppendBrokenLine(QString& out, QStringView line)
{
    while (line.size() > kMaxLineCharacters) {
        const qsizetype at = BreakPoint(line);
        out.append(line.first(at));
        out.append(u'\n');
        line = line.sliced(at);
    }
    out.append(line);
}

// Where the piece that starts at start ends: after a whole line, within the piece's bounds.
qsizetype PieceEnd(const QString& text, qsizetype start)
{
    const qsizetype limit = std::min(text.size(), start + kPieceCharacters);
    int lines = 0;
    qsizetype lastLineEnd = -1;
    for (qsizetype at = start; at < limit; ++at) {
        if (text[at] == u'\n') {
            lastLineEnd = at + 1;
            if (++lines == kPieceLines)
                return lastLineEnd;
        }
    }
    if (limit == text.size() || lastLineEnd < 0)
        return limit;
    return lastLineEnd;
}

// Draws document y from top to bottom of one page, which starts at pageTop, onto the writer's
// current page.
void DrawPageSlice(QPainter& painter, QTextDocument& document, qreal pageTop, qreal top, qreal bottom)
{
    painter.save();
    painter.translate(0, -pageTop);
    const QRectF view(0, top, document.pageSize().width(), bottom - top);
    painter.setClipRect(view);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = view;
    context.palette.setColor(QPalette::Text, Qt::black);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
}

qreal FirstLineTop(const QTextBlock& block)
{
    const QTextLayout* layout = block.layout();
    return layout->position().y() + (layout->lineCount() > 0 ? layout->lineAt(0).y() : 0);
}

class PiecePrinter {
public:
    PiecePrinter(QPdfWriter& writer, const HTMLPrintSettings& settings, const QVariantMap& attributes)
        : m_writer(writer)
        , m_settings(settings)
        , m_attributes(attributes)
    {
    }

    // Prints the piece; when more text follows, the lines that reach its last page are left for
    // the next piece, which starts on a new page. Returns how many characters were printed.
    qsizetype print(QStringView piece, bool last)
    {
        // Paper, margins and attributes are set while the document is empty: each of them lays out
        // the whole text again once there is text.
        QTextDocument document;
        document.setUndoRedoEnabled(false);
        TextDocumentPrinting::LayOutForWriter(document, m_settings, m_writer);
        insertWithAttributes(document, piece);
        const qreal pageHeight = document.pageSize().height();
        const int pages = std::max(1, document.pageCount());
        qreal end = pages * pageHeight;
        qsizetype printed = piece.size();
        if (!last && pages > 1) {
            const QTextBlock carried = firstBlockReaching(document, (pages - 1) * pageHeight);
            if (carried.isValid() && carried.position() > 0) {
                end = FirstLineTop(carried);
                printed = carried.position();
            }
        }
        const std::vector<int> characters = charactersByPage(document, pageHeight, end);
        // A piece that leaves lines to the next one ends with its last page that has a line.
        const int printedPages = printed < piece.size() ? static_cast<int>(characters.size()) : pages;
        for (int page = 0; page < printedPages; ++page) {
            startPage();
            DrawPageSlice(m_painter, document, page * pageHeight, page * pageHeight,
                          std::min((page + 1) * pageHeight, end));
            const int count = static_cast<size_t>(page) < characters.size() ? characters[static_cast<size_t>(page)] : 0;
            m_pages.push_back(count >= kTextOfAPage                    ? KnownPage::HoldsText
                              : count == 0 && whiteSpaceDrawsNothing() ? KnownPage::Blank
                                                                       : KnownPage::Unknown);
        }
        document.documentLayout()->setPaintDevice(nullptr);
        return printed;
    }

    bool finish() { return m_painter.isActive() ? m_painter.end() : false; }
    std::vector<KnownPage> takePages() { return std::move(m_pages); }

private:
    // The characters other than white space on each page, counted over the lines that start
    // above end; as many entries as pages that have one of those lines.
    static std::vector<int> charactersByPage(QTextDocument& document, qreal pageHeight, qreal end)
    {
        std::vector<int> characters;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            const QTextLayout* layout = block.layout();
            if (!layout)
                break;
            const qreal top = layout->position().y();
            if (top >= end)
                break;
            const QString text = block.text();
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                const qreal y = top + line.y();
                if (y >= end)
                    break;
                const auto page = static_cast<size_t>(std::max(0.0, std::floor(y / pageHeight)));
                if (characters.size() <= page)
                    characters.resize(page + 1, 0);
                const QStringView words = QStringView(text).sliced(line.textStart(), line.textLength());
                characters[page] += static_cast<int>(std::count_if(words.begin(), words.end(), [](QChar c) { return !c.isSpace(); }));
            }
        }
        return characters;
    }

    // Whether white space in the attributes leaves the paper white: no background, no line
    // drawn through or under it.
    bool whiteSpaceDrawsNothing() const
    {
        const QTextCharFormat format = TextAttributes::CharFormat(m_attributes);
        const QVariant paragraph = m_attributes.value(TextAttributes::kParagraphStyle);
        return !format.hasProperty(QTextFormat::BackgroundBrush) && !format.fontUnderline() && !format.fontStrikeOut()
               && !format.fontOverline()
               && !(paragraph.canConvert<QTextBlockFormat>()
                    && paragraph.value<QTextBlockFormat>().hasProperty(QTextFormat::BackgroundBrush));
    }

    // The attributes over the whole text, as TextAttributes::ApplyToDocument gives them to a text
    // that has none of its own.
    void insertWithAttributes(QTextDocument& document, QStringView piece) const
    {
        QTextCursor cursor(&document);
        cursor.beginEditBlock();
        const QTextCharFormat format = TextDocumentPrinting::WithoutCosmeticShaping(TextAttributes::CharFormat(m_attributes));
        const QVariant paragraph = m_attributes.value(TextAttributes::kParagraphStyle);
        if (paragraph.canConvert<QTextBlockFormat>())
            cursor.setBlockFormat(paragraph.value<QTextBlockFormat>());
        cursor.setBlockCharFormat(format);
        cursor.insertText(piece.toString(), format);
        cursor.endEditBlock();
    }

    // The block of the first line at or below y. Lines are what the pages hold: a paragraph that
    // did not fit keeps its place above and moves its lines down to the next page.
    static QTextBlock firstBlockReaching(QTextDocument& document, qreal y)
    {
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            const QTextLayout* layout = block.layout();
            for (int i = 0; layout && i < layout->lineCount(); ++i) {
                if (layout->position().y() + layout->lineAt(i).y() >= y)
                    return block;
            }
        }
        return {};
    }

    void startPage()
    {
        if (!m_painter.isActive())
            m_painter.begin(&m_writer);
        else
            m_writer.newPage();
    }

    QPdfWriter& m_writer;
    const HTMLPrintSettings& m_settings;
    const QVariantMap& m_attributes;
    QPainter m_painter;
    std::vector<KnownPage> m_pages;
};

} // namespace

QString PreparedText(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / kMaxLineCharacters + 1);
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && !IsLineEnd(text[end]))
            ++end;
        AppendBrokenLine(out, QStringView(text).sliced(start, end - start));
        if (end == text.size())
            break;
        out.append(u'\n');
        start = end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
    }
    // the layout's own frame marks are no characters of a plain text
    out.replace(QChar(0xFDD0), QChar::ReplacementCharacter);
    out.replace(QChar(0xFDD1), QChar::ReplacementCharacter);
    return out;
}

Printed PrintToPDF(const QString& text, const QVariantMap& attributes, const HTMLPrintSettings& settings)
{
    const QString prepared = PreparedText(text);
    Printed result;
    {
        QBuffer buffer(&result.pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        if (!TextDocumentPrinting::PrepareWriter(writer, settings))
            return {};
        PiecePrinter printer(writer, settings, attributes);
        qsizetype start = 0;
        do {
            const qsizetype end = PieceEnd(prepared, start);
            start += printer.print(QStringView(prepared).sliced(start, end - start), end == prepared.size());
        } while (start < prepared.size());
        if (!printer.finish())
            return {};
        result.pages = printer.takePages();
    }
    return result;
}

} // namespace PlainTextPrinting
