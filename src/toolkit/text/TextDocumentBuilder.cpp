#include "toolkit/text/TextDocumentBuilder.h"

#include "toolkit/text/TextReadLimits.h"

#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <QUuid>

#include <algorithm>

namespace {

// QTextCursor::insertText turns line and paragraph separators into new blocks; inside a run they
// are line breaks. Other control characters have no place in a text run.
QString RunText(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == u'\v')
            result.append(QChar::LineSeparator);
        else if (c == u'\t' || c.unicode() >= 0x20)
            result.append(c);
    }
    return result;
}

} // namespace

TextDocumentBuilder::TextDocumentBuilder(QTextDocument& document)
    : m_document(document)
    , m_cursor(&document)
{
    m_cursor.movePosition(QTextCursor::End);
    m_blockUnclaimed = m_document.isEmpty();
    // one edit for the whole document: no undo history, and the layout follows once at the end
    m_document.setUndoRedoEnabled(false);
    m_editBlock = QTextCursor(&m_document);
    m_editBlock.beginEditBlock();
}

TextDocumentBuilder::~TextDocumentBuilder()
{
    finish();
}

void TextDocumentBuilder::startParagraph(const QTextBlockFormat& format, const QTextCharFormat& charFormat)
{
    materializeParagraph();
    m_paragraphPending = true;
    m_pendingFormat = format;
    m_pendingCharFormat = charFormat;
    m_pendingListKey.clear();
}

void TextDocumentBuilder::setParagraphList(const QString& key, const QTextListFormat& format)
{
    if (!m_paragraphPending) {
        ensureParagraph();
        QPointer<QTextList>& list = m_lists[key];
        if (list)
            list->add(m_cursor.block());
        else
            list = m_cursor.createList(format);
        return;
    }
    m_pendingListKey = key;
    m_pendingListFormat = format;
}

QString TextDocumentBuilder::exceededReason() const
{
    if (!m_exceeded)
        return {};
    if (m_tableExceeded)
        return QStringLiteral("a table beyond the readers' bounds");
    return QStringLiteral("a document beyond the readers' bounds (at most %1 characters, %2 paragraphs and %3 pictures)")
        .arg(TextReadLimits::kMaxDocumentCharacters)
        .arg(TextReadLimits::kMaxDocumentParagraphs)
        .arg(TextReadLimits::kMaxDocumentPictures);
}

bool TextDocumentBuilder::withinDocumentBounds(int64_t characters, int64_t paragraphs, int64_t pictures)
{
    m_characterCount += characters;
    m_paragraphCount += paragraphs;
    m_pictureCount += pictures;
    if (m_characterCount > TextReadLimits::kMaxDocumentCharacters
        || m_paragraphCount > TextReadLimits::kMaxDocumentParagraphs
        || m_pictureCount > TextReadLimits::kMaxDocumentPictures)
        m_exceeded = true;
    return !m_exceeded;
}

void TextDocumentBuilder::materializeParagraph()
{
    if (!m_paragraphPending)
        return;
    m_paragraphPending = false;
    if (!withinDocumentBounds(0, 1, 0))
        return;
    QTextBlockFormat format = m_pendingFormat;
    if (m_pageBreakPending) {
        format.setPageBreakPolicy(format.pageBreakPolicy() | QTextFormat::PageBreak_AlwaysBefore);
        m_pageBreakPending = false;
    }
    if (m_blockUnclaimed) {
        m_cursor.setBlockFormat(format);
        m_cursor.setBlockCharFormat(m_pendingCharFormat);
        m_blockUnclaimed = false;
    } else {
        m_cursor.insertBlock(format, m_pendingCharFormat);
    }
    m_cursor.setCharFormat(m_pendingCharFormat);
    if (!m_pendingListKey.isEmpty()) {
        QPointer<QTextList>& list = m_lists[m_pendingListKey];
        if (list)
            list->add(m_cursor.block());
        else
            list = m_cursor.createList(m_pendingListFormat);
        m_pendingListKey.clear();
    }
}

void TextDocumentBuilder::ensureParagraph()
{
    if (!m_paragraphPending && m_blockUnclaimed)
        startParagraph();
    materializeParagraph();
}

void TextDocumentBuilder::insertText(const QString& text, const QTextCharFormat& format)
{
    if (m_exceeded)
        return;
    const QString run = RunText(text);
    if (run.isEmpty() || !withinDocumentBounds(run.size(), 0, 0))
        return;
    ensureParagraph();
    if (m_exceeded)
        return;
    m_cursor.insertText(run, format);
}

void TextDocumentBuilder::insertImage(const QImage& image, double widthPoints, double heightPoints,
                                      const QTextCharFormat& format)
{
    if (image.isNull() || !withinDocumentBounds(1, 0, 1))
        return;
    ensureParagraph();
    if (m_exceeded)
        return;
    const QString name = QStringLiteral("tomefold-image:") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    m_document.addResource(QTextDocument::ImageResource, QUrl(name), QVariant(image));
    QTextImageFormat imageFormat;
    imageFormat.merge(format);
    imageFormat.setName(name);
    imageFormat.setWidth(widthPoints > 0 ? widthPoints : image.width());
    imageFormat.setHeight(heightPoints > 0 ? heightPoints : image.height());
    m_cursor.insertImage(imageFormat);
}

bool TextDocumentBuilder::startTable(int rows, int columns)
{
    rows = std::max(rows, 1);
    columns = std::max(columns, 1);
    if (m_flattenedTables > 0 || tableDepth() >= TextReadLimits::kMaxTableNesting) {
        ++m_flattenedTables;
        startParagraph();
        return false;
    }
    materializeParagraph();
    if (rows > TextReadLimits::kMaxTableRows || columns > TextReadLimits::kMaxTableColumns
        || m_cellCount + static_cast<int64_t>(rows) * columns > TextReadLimits::kMaxTableCells) {
        m_exceeded = m_tableExceeded = true;
        ++m_flattenedTables; // nothing more is read: keep the calls that follow balanced
        return false;
    }
    QTextTableFormat format;
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setCellPadding(2);
    format.setCellSpacing(0);
    if (m_pageBreakPending) {
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        m_pageBreakPending = false;
    }
    m_cursor.movePosition(QTextCursor::EndOfBlock);
    TableState state;
    state.table = m_cursor.insertTable(rows, columns, format);
    m_cellCount += static_cast<int64_t>(rows) * columns;
    m_tables.push_back(std::move(state));
    return true;
}

void TextDocumentBuilder::startRow()
{
    if (m_flattenedTables > 0) {
        startParagraph();
        return;
    }
    if (m_tables.empty())
        return;
    materializeParagraph();
    TableState& state = m_tables.back();
    if (state.row + 1 >= TextReadLimits::kMaxTableRows
        || (state.row + 1 >= state.table->rows()
            && m_cellCount + state.table->columns() > TextReadLimits::kMaxTableCells)) {
        m_exceeded = m_tableExceeded = true;
        return;
    }
    ++state.row;
    if (state.row >= state.table->rows()) {
        m_cellCount += static_cast<int64_t>(state.row + 1 - state.table->rows()) * state.table->columns();
        state.table->appendRows(state.row + 1 - state.table->rows());
    }
    state.column = 0;
}

bool TextDocumentBuilder::isCovered(const TableState& state, int row, int column) const
{
    if (row < 0 || row >= static_cast<int>(state.covered.size()))
        return false;
    const auto& cells = state.covered[static_cast<size_t>(row)];
    return column < static_cast<int>(cells.size()) && cells[static_cast<size_t>(column)];
}

void TextDocumentBuilder::ensureColumns(TableState& state, int columns)
{
    const int added = columns - state.table->columns();
    if (added <= 0)
        return;
    if (columns > TextReadLimits::kMaxTableColumns
        || m_cellCount + static_cast<int64_t>(added) * state.table->rows() > TextReadLimits::kMaxTableCells) {
        m_exceeded = m_tableExceeded = true;
        return;
    }
    m_cellCount += static_cast<int64_t>(added) * state.table->rows();
    state.table->appendColumns(added);
}

void TextDocumentBuilder::startCell(int columnSpan, int rowSpan)
{
    if (m_flattenedTables > 0) {
        startParagraph();
        return;
    }
    if (m_tables.empty())
        return;
    materializeParagraph();
    TableState& state = m_tables.back();
    if (state.row < 0)
        startRow();
    if (m_exceeded)
        return;
    while (isCovered(state, state.row, state.column) && state.column < TextReadLimits::kMaxTableColumns)
        ++state.column;
    columnSpan = std::clamp(columnSpan, 1, TextReadLimits::kMaxTableColumns);
    rowSpan = std::clamp(rowSpan, 1, TextReadLimits::kMaxTableRows);
    const int column = std::min(state.column, TextReadLimits::kMaxTableColumns - 1);
    columnSpan = std::min(columnSpan, TextReadLimits::kMaxTableColumns - column);
    ensureColumns(state, column + columnSpan);
    if (m_exceeded)
        return;
    columnSpan = std::max(1, std::min(columnSpan, state.table->columns() - column));
    rowSpan = std::min(rowSpan, TextReadLimits::kMaxRepeat);
    if ((columnSpan > 1 || rowSpan > 1) && state.spans.size() < static_cast<size_t>(TextReadLimits::kMaxTableCells)) {
        state.spans.push_back({state.row, column, rowSpan, columnSpan});
        for (int r = state.row + 1; r < state.row + rowSpan; ++r) {
            if (static_cast<int>(state.covered.size()) <= r)
                state.covered.resize(static_cast<size_t>(r) + 1);
            auto& cells = state.covered[static_cast<size_t>(r)];
            if (static_cast<int>(cells.size()) < column + columnSpan)
                cells.resize(static_cast<size_t>(column + columnSpan), false);
            std::fill(cells.begin() + column, cells.begin() + column + columnSpan, true);
        }
    }
    const QTextTableCell cell = state.table->cellAt(state.row, std::min(column, state.table->columns() - 1));
    m_cursor = cell.lastCursorPosition();
    m_blockUnclaimed = cell.firstPosition() == cell.lastPosition();
    m_paragraphPending = false;
    state.column = column + columnSpan;
}

void TextDocumentBuilder::continueCellAbove(int columnSpan)
{
    if (m_flattenedTables > 0 || m_tables.empty() || m_tables.back().row <= 0) {
        startCell(columnSpan);
        return;
    }
    materializeParagraph();
    TableState& state = m_tables.back();
    while (isCovered(state, state.row, state.column) && state.column < TextReadLimits::kMaxTableColumns)
        ++state.column;
    const int column = std::min(state.column, state.table->columns() - 1);
    columnSpan = std::clamp(columnSpan, 1, state.table->columns() - column);
    auto grown = std::find_if(state.spans.begin(), state.spans.end(), [&](const Span& span) {
        return span.column == column && span.row + span.rows == state.row;
    });
    if (grown != state.spans.end()) {
        ++grown->rows;
    } else if (state.spans.size() < static_cast<size_t>(TextReadLimits::kMaxTableCells)) {
        state.spans.push_back({state.row - 1, column, 2, columnSpan});
        grown = state.spans.end() - 1;
    } else {
        startCell(columnSpan);
        return;
    }
    const QTextTableCell origin = state.table->cellAt(grown->row, column);
    m_cursor = origin.lastCursorPosition();
    m_blockUnclaimed = origin.firstPosition() == origin.lastPosition();
    m_paragraphPending = false;
    state.column = column + std::max(columnSpan, grown->columns);
}

void TextDocumentBuilder::endTable()
{
    if (m_flattenedTables > 0) {
        --m_flattenedTables;
        startParagraph();
        return;
    }
    if (m_tables.empty())
        return;
    materializeParagraph();
    TableState state = std::move(m_tables.back());
    m_tables.pop_back();
    QTextTable* table = state.table;
    // Rows that no cell reached stay as rows of empty cells; a span is cut to the table's size.
    for (const Span& span : state.spans) {
        const int rows = std::min(span.rows, table->rows() - span.row);
        const int columns = std::min(span.columns, table->columns() - span.column);
        if (rows >= 1 && columns >= 1 && (rows > 1 || columns > 1))
            table->mergeCells(span.row, span.column, rows, columns);
    }
    positionAfter(table);
}

void TextDocumentBuilder::positionAfter(QTextTable* table)
{
    m_cursor.setPosition(table->lastPosition() + 1);
    m_blockUnclaimed = m_cursor.block().length() <= 1;
    m_paragraphPending = false;
}

bool TextDocumentBuilder::inTableCell() const
{
    return !m_tables.empty();
}

void TextDocumentBuilder::finish()
{
    materializeParagraph();
    m_flattenedTables = 0;
    while (!m_tables.empty())
        endTable();
    if (m_editing) {
        m_editing = false;
        m_editBlock.endEditBlock();
    }
}
