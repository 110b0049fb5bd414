#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// Our writer of Office Open XML word-processing packages (.docx): paragraphs with heading styles,
// alignment, indents and page breaks, character runs, links, lists as numbering definitions,
// tables with merged cells and pictures (PNG). Empty on failure.
namespace DOCXWriter {

QByteArray Write(const QTextDocument& document, QString* error = nullptr);

} // namespace DOCXWriter
