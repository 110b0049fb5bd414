#pragma once

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <QByteArray>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What copied pages repeat page after page, held once in the output: their resources (graphics
// states, fonts once they are shared, procedure sets), boxes and transparency group. A browser
// prints every topic as a document of its own, and each of its pages brings its own copy of the
// same few dictionaries; kept as they come, tens of thousands of pages would each hold some
// kilobytes of objects that say the same. Only plain data is shared (numbers, names, strings,
// arrays and dictionaries, however they are spread over objects): a part that holds a stream (an
// image, a form, a font of its own) stays with its page, so every page reads as printed.
class PdfSharedPageParts {
public:
    explicit PdfSharedPageParts(QPDF& output);
    ~PdfSharedPageParts();
    PdfSharedPageParts(const PdfSharedPageParts&) = delete;
    PdfSharedPageParts& operator=(const PdfSharedPageParts&) = delete;

    // The parts taken off one printed page while it is copied; they are put back when this goes.
    class Taken {
    public:
        Taken() = default;
        ~Taken();
        Taken(const Taken&) = delete;
        Taken& operator=(const Taken&) = delete;

    private:
        friend class PdfSharedPageParts;
        struct Part {
            QPDFObjectHandle holder; // the printed page, or its resource dictionary
            std::string key;
            QPDFObjectHandle printed;
            QPDFObjectHandle shared; // the output's
            bool inResources = false;
        };
        std::vector<Part> m_parts;
    };

    // Before a page of source is copied: takes off the page what the output holds once, so the
    // copy does not bring it. Null when nothing can be shared.
    std::unique_ptr<Taken> take(QPDF& source, QPDFObjectHandle sourcePage);
    // After the copy: the copied page gets the output's parts in the places of those taken.
    void pageCopied(const Taken& taken, QPDFObjectHandle copiedPage);

    // Parts held once so far.
    std::size_t count() const { return m_shared.size(); }

    // The copied page's plain values (names, numbers, booleans), in its own dictionary and in those
    // of its content streams, become one object per value for all pages: every page says /Type
    // /Page and its content's /Filter, and each such value costs more memory than the key naming it.
    // Such objects are never changed in place, so a page given another value keeps the others'.
    void shareValues(QPDFObjectHandle copiedPage);

private:
    // The output's object for a part of this plain text; none when the text does not read back.
    std::optional<QPDFObjectHandle> sharedPart(const std::string& plainText);
    void shareValuesOf(QPDFObjectHandle dictionary);

    QPDF& m_output;
    std::map<QByteArray, QPDFObjectHandle> m_shared;  // by a digest of the part's plain text
    std::map<std::string, QPDFObjectHandle> m_values; // direct, by their PDF text
};
