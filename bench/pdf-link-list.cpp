// pdf-link-list FILE.pdf
//
// Prints what a reader follows in a PDF, one line each, independent of object numbers and of how
// the file is laid out: "pages N", then for every page its size and each annotation (subtype,
// rectangle, and where it leads: a page index and point, a URI or a name), then every outline entry
// with its depth, title and destination. Two exports that a reader cannot tell apart by their
// pages, links and outline print the same text.

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QUtil.hh>

#include <cstdio>
#include <exception>
#include <map>
#include <string>

namespace {

std::string number(QPDFObjectHandle value)
{
    return value.isNumber() ? QUtil::double_to_string(value.getNumericValue(), 6, true) : value.unparse();
}

std::string rectangle(QPDFObjectHandle box)
{
    if (!box.isArray())
        return "-";
    std::string text;
    for (QPDFObjectHandle item : box.getArrayAsVector())
        text += (text.empty() ? "" : " ") + number(item);
    return "[" + text + "]";
}

class Lister {
public:
    explicit Lister(QPDF& pdf)
        : m_pdf(pdf)
    {
        const std::vector<QPDFObjectHandle>& pages = pdf.getAllPages();
        for (std::size_t index = 0; index < pages.size(); ++index)
            m_pageIndex[pages[index].getObjGen()] = static_cast<int>(index);
    }

    std::string destination(QPDFObjectHandle dest) const
    {
        if (dest.isName() || dest.isString())
            return "name " + dest.unparse();
        if (!dest.isArray() || dest.getArrayNItems() < 2)
            return "none";
        QPDFObjectHandle page = dest.getArrayItem(0);
        const auto found = m_pageIndex.find(page.getObjGen());
        std::string text = "page " + (found == m_pageIndex.end() ? std::string("?") : std::to_string(found->second));
        for (int index = 1; index < dest.getArrayNItems(); ++index)
            text += " " + number(dest.getArrayItem(index));
        return text;
    }

    std::string target(QPDFObjectHandle holder) const
    {
        QPDFObjectHandle action = holder.getKey("/A");
        if (action.isDictionary() && action.getKey("/URI").isString())
            return "uri " + action.getKey("/URI").getStringValue();
        if (action.isDictionary() && action.getKey("/D").isInitialized() && !action.getKey("/D").isNull())
            return "goto " + destination(action.getKey("/D"));
        return destination(holder.getKey("/Dest"));
    }

    void listOutline(std::vector<QPDFOutlineObjectHelper> entries, int depth) const
    {
        for (QPDFOutlineObjectHelper& entry : entries) {
            std::printf("outline %d %s -> %s\n", depth, entry.getTitle().c_str(), target(entry.getObjectHandle()).c_str());
            listOutline(entry.getKids(), depth + 1);
        }
    }

private:
    QPDF& m_pdf;
    std::map<QPDFObjGen, int> m_pageIndex;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pdf-link-list FILE.pdf\n");
        return 2;
    }
    try {
        QPDF pdf;
        pdf.processFile(argv[1]);
        const Lister lister(pdf);
        const std::vector<QPDFObjectHandle>& pages = pdf.getAllPages();
        std::printf("pages %zu\n", pages.size());
        for (std::size_t index = 0; index < pages.size(); ++index) {
            QPDFObjectHandle page = pages[index];
            std::printf("page %zu %s\n", index, rectangle(QPDFPageObjectHelper(page).getMediaBox()).c_str());
            QPDFObjectHandle annotations = page.getKey("/Annots");
            if (!annotations.isArray())
                continue;
            for (QPDFObjectHandle annotation : annotations.getArrayAsVector()) {
                std::printf("  %s %s -> %s\n", annotation.getKey("/Subtype").unparse().c_str(),
                            rectangle(annotation.getKey("/Rect")).c_str(), lister.target(annotation).c_str());
            }
        }
        QPDFOutlineDocumentHelper outlines(pdf);
        lister.listOutline(outlines.getTopLevelOutlines(), 0);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pdf-link-list: %s\n", e.what());
        return 1;
    }
    return 0;
}
