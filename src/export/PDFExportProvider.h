#pragma once

#include "chm/DocumentExportProvider.h"

// The PDF export behind a document's export members. One for the whole process; it holds nothing.
const DocumentExportProvider& PDFExportProvider();
