#pragma once

#include <QHash>
#include <QPointer>
#include <QImage>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextListFormat>

#include <cstdint>
#include <vector>

class QTextDocument;
class QTextList;
class QTextTable;

// Fills a QTextDocument the way readers meet a document: paragraph after paragraph, runs of text,
// pictures, lists and tables, possibly nested. It hides QTextDocument's rules: a document and a
// table cell start with an empty block, a table is always followed by a block, and a block joins a
// list after it exists.
class TextDocumentBuilder {
public:
    explicit TextDocumentBuilder(QTextDocument& document);
    // Finishes the document: a builder must end before its document is cleared or destroyed.
    ~TextDocumentBuilder();
    TextDocumentBuilder(const TextDocumentBuilder&) = delete;
    TextDocumentBuilder& operator=(const TextDocumentBuilder&) = delete;

    // Begins a paragraph; it is made when its first content arrives or the next structure begins.
    void startParagraph(const QTextBlockFormat& format = {}, const QTextCharFormat& charFormat = {});
    // The paragraph being built joins the list of this key (one QTextList per key), at its level.
    void setParagraphList(const QString& key, const QTextListFormat& format);
    // The next paragraph starts on a new page.
    void breakPageBeforeNextParagraph() { m_pageBreakPending = true; }

    void insertText(const QString& text, const QTextCharFormat& format);
    // A picture, sized in points (0 keeps its pixel size). Null images are dropped.
    void insertImage(const QImage& image, double widthPoints, double heightPoints,
                     const QTextCharFormat& format = {});

    // Tables: startTable, then for each row startRow and for each cell startCell; cells may hold
    // paragraphs and tables. Columns grow as cells arrive; spans merge once the table ends.
    // The size, when a reader knows it, makes the table at once (growing one is slow in Qt).
    bool startTable(int rows = 1, int columns = 1);
    void startRow();
    void startCell(int columnSpan = 1, int rowSpan = 1);
    // The next cell of the row is the cell above it grown by one row (formats that mark merged
    // cells row by row); what follows goes into that cell.
    void continueCellAbove(int columnSpan = 1);
    void endTable();
    int tableDepth() const { return static_cast<int>(m_tables.size()); }
    bool inTableCell() const;

    // Ends what is still open (the last paragraph, unclosed tables).
    void finish();

    // True once the document grew beyond the readers' bounds (TextReadLimits: a table, or the
    // characters, paragraphs or pictures of the whole document): from then on content is ignored,
    // and the reader refuses the document with exceededReason().
    bool exceeded() const { return m_exceeded; }
    QString exceededReason() const;

    QTextDocument& document() { return m_document; }

private:
    struct Span {
        int row, column, rows, columns;
    };
    struct TableState {
        QTextTable* table = nullptr;
        int row = -1;
        int column = 0;
        std::vector<Span> spans;
        std::vector<std::vector<bool>> covered; // cells taken by a row span from above
    };

    void materializeParagraph();
    // Counts what a document adds up to; false (and exceeded) beyond its bound.
    bool withinDocumentBounds(int64_t characters, int64_t paragraphs, int64_t pictures);
    void ensureParagraph();
    void positionAfter(QTextTable* table);
    bool isCovered(const TableState& state, int row, int column) const;
    void ensureColumns(TableState& state, int columns);

    QTextDocument& m_document;
    QTextCursor m_cursor;
    QTextCursor m_editBlock;
    bool m_editing = true;
    bool m_blockUnclaimed = true; // the cursor's block is empty and belongs to no paragraph yet
    bool m_paragraphPending = false;
    bool m_pageBreakPending = false;
    QTextBlockFormat m_pendingFormat;
    QTextCharFormat m_pendingCharFormat;
    QString m_pendingListKey;
    QTextListFormat m_pendingListFormat;
    QHash<QString, QPointer<QTextList>> m_lists;
    std::vector<TableState> m_tables;
    int64_t m_cellCount = 0;
    int64_t m_characterCount = 0;
    int64_t m_paragraphCount = 0;
    int64_t m_pictureCount = 0;
    bool m_exceeded = false;
    bool m_tableExceeded = false;
    int m_flattenedTables = 0; // tables nested beyond the limit, read as paragraphs
};
