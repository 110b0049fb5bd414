#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <QTextBlock>
#include <QTextCharFormat>

#include <vector>

class QTextDocument;
class QTextFrame;
class QTextTable;
class QTextTableCell;

// What writers walk: the flow of a frame or a table cell as paragraphs and tables in order.
// The empty block QTextDocument keeps in front of a table at the start of a frame or cell is not
// part of the flow: readers make it again when they insert the table.
struct TextFlowItem {
    QTextBlock block;            // valid for a paragraph
    QTextTable* table = nullptr; // set for a table
};

namespace TextDocumentWalk {

std::vector<TextFlowItem> FrameItems(QTextFrame* frame);
std::vector<TextFlowItem> CellItems(const QTextTableCell& cell);

// A fragmentRun of a paragraph: a run of text in one format, or one picture.
struct TextRun {
    QString text; // empty for a picture
    QTextCharFormat format;
    bool isImage = false;
    QString imageName; // the picture's resource name
    QSizeF imageSize;  // points; empty when the format gives none
};
std::vector<TextRun> BlockRuns(const QTextBlock& block);

// The picture of a resource name as PNG bytes, with its pixel size; empty when the document holds
// nothing that decodes.
QByteArray ImagePNG(const QTextDocument& document, const QString& name, QSize* pixelSize = nullptr);

// True when the cell is the top-left cell of itself (not covered by a span from another cell).
bool IsCellOrigin(const QTextTableCell& cell, int row, int column);

// Font family of a format, empty when none is set.
QString FontFamily(const QTextCharFormat& format);

} // namespace TextDocumentWalk
