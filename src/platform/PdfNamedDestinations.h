#pragma once

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFNameTreeObjectHelper.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <functional>
#include <memory>
#include <string>

// The places a document's links and outline entries name, resolved through its catalog. Made for
// one run over a document: the name tree is read once for all the lookups.
class PdfNamedDestinations {
public:
    explicit PdfNamedDestinations(QPDF& document)
        : m_document(document)
    {}

    // Where an annotation or outline entry leads: its /Dest, else the /D of its GoTo action; null
    // when it has neither.
    static QPDFObjectHandle targetOf(QPDFObjectHandle holder);

    // The explicit destination a name stands for: the catalog's /Dests is keyed by names, the
    // /Names /Dests tree by strings; writers mix them up, so both are asked. The value may be a
    // dictionary holding the destination in /D. Null when the name stands for nothing.
    QPDFObjectHandle resolve(QPDFObjectHandle name);

    // Calls visit with every name the document defines and the explicit destination it stands for
    // (as resolve gives it), the catalog's /Dests first; a name both define is visited once, as
    // resolve finds it. Stops when visit returns false.
    void forEach(const std::function<bool(const std::string& name, QPDFObjectHandle destination)>& visit);

private:
    QPDFNameTreeObjectHelper* nameTree();

    QPDF& m_document;
    std::unique_ptr<QPDFNameTreeObjectHelper> m_nameTree;
    bool m_nameTreeRead = false;
};
