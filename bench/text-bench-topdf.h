#pragma once

class QDir;
class QTextDocument;

// The document written in each format, then printed to PDF by the toolkit and by LibreOffice's
// --convert-to pdf in the same run: printed pages per second of each.
void BenchTextToPDF(const QTextDocument& document, const QDir& out);
