#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// Our writer of OpenDocument text packages (.odt): paragraphs and headings with automatic
// paragraph styles (alignment, margins, page breaks), spans with automatic text styles, nested
// lists, tables with merged cells (a table may follow a list: Qt's own ODF writer loses those),
// links and pictures (PNG). Empty on failure.
namespace ODTWriter {

QByteArray Write(const QTextDocument& document, QString* error = nullptr);

} // namespace ODTWriter
