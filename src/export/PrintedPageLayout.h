#pragma once

#include "export/PageCharacters.h"
#include "export/pdfcore/TextOffsetLocator.h"

#include <Page.h>

#include <vector>

class PDFDoc;

// What the export's text device reads on one printed page: its words in content-stream order and
// where each of its characters lies. Reading it is the costly part of placing anchors; it needs
// nothing but the page, so it can be done on any thread that has the document to itself.
struct PrintedPageLayout {
    PDFRectangle cropBox;
    // False when the text device could not be made: the page has no words and no characters.
    bool deviceOk = false;
    std::vector<PDFCore::LocatorWord> words;
    PageCharacters characters;

    // Page pageIndex (from 0) of the document.
    static PrintedPageLayout read(PDFDoc& document, int pageIndex);
};
