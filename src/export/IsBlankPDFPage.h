#pragma once

class PDFDoc;

// True when the page (index from 0) carries at most 5 characters of text and draws nothing but
// white; false for a missing document or page.
bool IsBlankPDFPage(PDFDoc* document, int pageIndex);
