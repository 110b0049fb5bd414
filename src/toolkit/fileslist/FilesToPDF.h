#pragma once

#include "toolkit/options/FilesToPDFConversionOptions.h"

// A mixed list of images, text documents, PDFs and HTML files to PDF. Each item goes to the
// converter of its kind; PDF items are rewritten here. Both runners run on the caller's thread,
// which must not be the main thread (HTML files print there), report to the record's progress
// target and stop when its object says the conversion was cancelled.

// One PDF per item in the folder destinationURL, each under a name nothing has yet. The result is
// that of the last item converted (true for an empty list), false when cancelled.
bool ConvertFilesToSeparatePDFs(const FilesToPDFConversionOptions& options);

// Every item's pages, in list order, into the one PDF destinationURL, with an outline entry per
// item when asked. Items that fail are left out; nothing is written, and the result is false,
// when the run is cancelled or no page was collected.
bool ConvertFilesToSinglePDF(const FilesToPDFConversionOptions& options);
