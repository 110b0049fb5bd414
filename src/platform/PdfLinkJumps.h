#pragma once

#include "platform/PdfLink.h"

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <map>
#include <optional>
#include <utility>
#include <vector>

// The links of copied pages that jump to a named place of the document they were printed in.
// The names live in that document's catalog, which does not travel with its pages: each such
// jump is looked up when its page is copied, and finds its page in the copy once that page has
// been copied too (a link may point at a later page of the same printed document).
class PdfLinkJumps {
public:
    // Where a jump leads in the document it was printed in.
    struct Jump {
        unsigned long long source = 0;
        int sourcePage = -1;
        double left = 0;
        std::optional<double> top;
    };

    // The place a link of source names; none when it names no place at all. A name the source
    // does not define gives a jump that never finds its page.
    static std::optional<Jump> lookUp(QPDF& source, QPDFObjectHandle link);

    // Page sourcePage of source has become output page outputPage (copiedPage).
    void pageCopied(QPDF& source, int sourcePage, QPDF& output, QPDFObjectHandle copiedPage, int outputPage);

    bool isJump(QPDFObjGen annotation) const { return m_jumps.count(annotation) != 0; }
    // Where the jump leads in the output; empty when the target page was never copied.
    std::optional<PdfDestination> targetOf(QPDFObjGen annotation, QPDF& output) const;
    std::optional<PdfDestination> targetOf(const Jump& jump, QPDF& output) const;
    void forget(QPDFObjGen annotation) { m_jumps.erase(annotation); }

private:
    std::map<QPDFObjGen, Jump> m_jumps;
    // Where each copied page went, by source and page: 16 bytes a page, sorted (pages mostly come
    // in that order).
    struct CopiedPage {
        unsigned long long source = 0;
        int sourcePage = 0;
        int outputPage = 0;
    };
    const CopiedPage* copiedPage(unsigned long long source, int sourcePage) const;
    std::vector<CopiedPage> m_copiedPages;
};
