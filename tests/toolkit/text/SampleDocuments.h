#pragma once

#include <QString>
#include <QStringList>

class QTextDocument;

// Documents the text tests build, and a description of a document's structure that survives a
// round trip through any format that keeps what the description names.
namespace SampleDocuments {

// A heading, runs in bold, italic, underline, colour, another font and size, a bulleted and a
// numbered list, a table with a merged cell, a picture, non-Latin text and a page break.
void BuildRich(QTextDocument& document);

// Lists nested two levels deep between items of the outer list, and a table whose first cell
// spans two rows; with tableInCell, a table inside a cell of it too.
void BuildNested(QTextDocument& document, bool tableInCell);

struct DescribeOptions {
    bool fonts = true;       // font family and size of runs
    bool images = true;      // pictures and their sizes
    bool columnSpans = true; // merged cells
};

// One line per paragraph, table, row and cell: text runs with their formats, list kinds and levels,
// headings, page breaks. Adjacent runs of one format are joined.
QStringList Describe(const QTextDocument& document, const DescribeOptions& options = {});

} // namespace SampleDocuments
