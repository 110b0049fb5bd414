#pragma once

#include <QString>

class PdfDocument;

// Appends every page of the PDF file at path to the merged document: how the list runners gather
// what a converter printed to a scratch file. False when the file is no PDF or a page fails to copy.
bool AppendPagesOfPDFFile(const QString& path, PdfDocument& merged);
