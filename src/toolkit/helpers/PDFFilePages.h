#pragma once

#include <QString>

#include <memory>

class PdfDocument;

// Appends every page of the PDF file at path to the merged document: how the list runners gather
// what a converter printed to a scratch file. False when the file is no PDF or a page fails to copy.
bool AppendPagesOfPDFFile(const QString& path, PdfDocument& merged);

// A new document for the toolkit to copy pages into: the named places those pages' links lead to
// come along, so every link still jumps where it did in its own file.
std::unique_ptr<PdfDocument> CreateMergedPDF();
