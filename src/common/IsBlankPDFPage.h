#pragma once

class PDFDoc;

// True when the page (index from 0) carries at most 5 characters of text and draws nothing but
// white; false for a missing document or page. The PDF core's global settings must exist: the
// library that reads PDF pages makes them (the export through PDFCoreSettings::ensureInitialised);
// without them no page is blank.
bool IsBlankPDFPage(PDFDoc* document, int pageIndex);
