// qpdf 11: only the standard smart pointers, not its old PointerHolder.
#define POINTERHOLDER_TRANSITION 4

#include "toolkit/fileslist/FileListFixtures.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <map>

namespace FileListFixtures {

namespace {

QPDFObjectHandle newPage(QPDF& pdf, int number, int rotation)
{
    // Each page shows its number, so that no page prints blank.
    const std::string content = "BT /F1 24 Tf 72 720 Td (Page " + std::to_string(number) + ") Tj ET";
    QPDFObjectHandle font = QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] >>");
    page.replaceKey("/Resources",
                    QPDFObjectHandle::parse("<< >>").replaceKeyAndGetNew(
                        "/Font", QPDFObjectHandle::parse("<< >>").replaceKeyAndGetNew("/F1", font)));
    page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, content));
    if (rotation != 0)
        page.replaceKey("/Rotate", QPDFObjectHandle::newInteger(rotation));
    return pdf.makeIndirectObject(page);
}

// The items as the children of parent, in order.
void linkChildren(std::vector<QPDFObjectHandle> items, QPDFObjectHandle parent)
{
    for (size_t index = 0; index < items.size(); ++index) {
        items[index].replaceKey("/Parent", parent);
        if (index > 0)
            items[index].replaceKey("/Prev", items[index - 1]);
        if (index + 1 < items.size())
            items[index].replaceKey("/Next", items[index + 1]);
    }
    parent.replaceKey("/First", items.front());
    parent.replaceKey("/Last", items.back());
    parent.replaceKey("/Count", QPDFObjectHandle::newInteger(static_cast<long long>(items.size())));
}

void addOutline(QPDF& pdf, const QStringList& titles, bool nested)
{
    if (titles.isEmpty())
        return;
    const std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
    QPDFObjectHandle outlines = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Outlines >>"));
    std::vector<QPDFObjectHandle> items;
    for (qsizetype index = 0; index < titles.size(); ++index) {
        QPDFObjectHandle item = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        item.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(titles[index].toStdString()));
        QPDFObjectHandle destination = QPDFObjectHandle::newArray();
        destination.appendItem(pages[static_cast<size_t>(index) % pages.size()].getObjectHandle());
        destination.appendItem(QPDFObjectHandle::newName("/XYZ"));
        destination.appendItem(QPDFObjectHandle::newInteger(0));
        destination.appendItem(QPDFObjectHandle::newInteger(700));
        destination.appendItem(QPDFObjectHandle::newNull());
        item.replaceKey("/Dest", destination);
        items.push_back(item);
    }
    if (nested && items.size() > 1) {
        linkChildren(std::vector<QPDFObjectHandle>(items.begin() + 1, items.end()), items.front());
        items.resize(1);
    }
    linkChildren(items, outlines);
    pdf.getRoot().replaceKey("/Outlines", outlines);
}

std::vector<OutlineEntry> entriesOf(const std::vector<QPDFOutlineObjectHelper>& items,
                                    const std::map<QPDFObjGen, int>& pageIndex, int depth)
{
    std::vector<OutlineEntry> entries;
    if (depth > 32)
        return entries;
    for (QPDFOutlineObjectHelper item : items) {
        OutlineEntry entry;
        entry.title = QString::fromStdString(item.getTitle());
        QPDFObjectHandle page = item.getDestPage();
        if (!page.isNull()) {
            const auto found = pageIndex.find(page.getObjGen());
            if (found != pageIndex.end())
                entry.page = found->second;
        }
        entry.children = entriesOf(item.getKids(), pageIndex, depth + 1);
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace

bool writePDF(const QString& path, const PDFSpec& spec)
{
    try {
        QPDF pdf;
        pdf.emptyPDF();
        QPDFPageDocumentHelper pages(pdf);
        for (int number = 1; number <= spec.pages; ++number)
            pages.addPage(QPDFPageObjectHelper(newPage(pdf, number, spec.rotation)), false);
        addOutline(pdf, spec.outlineTitles, spec.nestOutline);
        const std::string file = path.toStdString();
        QPDFWriter writer(pdf, file.c_str());
        if (!spec.userPassword.isEmpty() || !spec.ownerPassword.isEmpty()) {
            writer.setR6EncryptionParameters(spec.userPassword.toStdString().c_str(),
                                             spec.ownerPassword.toStdString().c_str(), true, true, true, true, true,
                                             true, spec.allowPrinting ? qpdf_r3p_full : qpdf_r3p_none, true);
        }
        writer.write();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

int pageCount(const QString& path, const QString& password)
{
    try {
        QPDF pdf;
        pdf.processFile(path.toStdString().c_str(), password.toStdString().c_str());
        return static_cast<int>(pdf.getAllPages().size());
    } catch (const std::exception&) {
        return 0;
    }
}

std::vector<int> rotations(const QString& path)
{
    std::vector<int> result;
    try {
        QPDF pdf;
        pdf.processFile(path.toStdString().c_str());
        for (QPDFPageObjectHelper page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            QPDFObjectHandle rotate = page.getAttribute("/Rotate", false);
            result.push_back(rotate.isInteger() ? rotate.getIntValueAsInt() : 0);
        }
    } catch (const std::exception&) {
    }
    return result;
}

std::vector<OutlineEntry> outline(const QString& path)
{
    try {
        QPDF pdf;
        pdf.processFile(path.toStdString().c_str());
        std::map<QPDFObjGen, int> pageIndex;
        int index = 0;
        for (QPDFObjectHandle page : pdf.getAllPages())
            pageIndex[page.getObjGen()] = index++;
        QPDFOutlineDocumentHelper outlines(pdf);
        return entriesOf(outlines.getTopLevelOutlines(), pageIndex, 0);
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace FileListFixtures
