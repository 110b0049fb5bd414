#pragma once

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFNameTreeObjectHelper.hh>
#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// The named places of the documents whose pages are copied into one. A source's names live in its
// catalog, which does not travel with its pages: each place comes along with the page it lies on,
// into the output's catalog, under a name no other source has taken, and the copied links that
// name a place are rewritten to the name it has in the output. A place whose page is never copied
// never comes, so a link to it leads nowhere rather than to some other page.
class PdfMergedDestinations {
public:
    // Names the output defines already stay its own.
    explicit PdfMergedDestinations(QPDF& output);
    ~PdfMergedDestinations();
    PdfMergedDestinations(const PdfMergedDestinations&) = delete;
    PdfMergedDestinations& operator=(const PdfMergedDestinations&) = delete;

    // Page sourcePage of source has just become copiedPage of the output.
    void pageCopied(QPDF& source, int sourcePage, QPDFObjectHandle copiedPage);

private:
    // A named place of a source without its page: the rest of its destination array.
    struct Place {
        std::string name;
        std::vector<QPDFObjectHandle> rest;
    };
    struct Source {
        std::map<int, std::vector<Place>> placesByPage; // the places of pages not copied yet
        std::map<std::string, std::string> outputNames;
    };

    Source& sourceOf(QPDF& source);
    const std::string& outputName(Source& source, const std::string& name);
    void rewriteLinks(Source& source, QPDFObjectHandle copiedPage);
    void addPlaces(Source& source, int sourcePage, QPDFObjectHandle copiedPage);
    QPDFObjectHandle nameOf(const std::string& outputName);
    void define(const std::string& outputName, QPDFObjectHandle destination);

    QPDF& m_output;
    std::map<unsigned long long, Source> m_sources; // by the source's unique id
    std::set<std::string> m_usedNames;
    std::map<std::string, int> m_nextNumbers; // per name taken: the number its next renaming tries
    std::set<QPDFObjGen> m_rewritten;         // holders of a name already given their output name
    // Where the places go: the output's own /Dests when it has one (viewers that find it look no
    // further), else its name tree, made when the first place comes.
    QPDFObjectHandle m_destsDictionary;
    std::unique_ptr<QPDFNameTreeObjectHelper> m_tree;
};
