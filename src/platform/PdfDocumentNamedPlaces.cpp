#include "platform/PdfDocument.h"
#include "platform/PdfNamedDestinations.h"

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>

#include <exception>
#include <map>

// The named places of a document: where the engine that printed it put each element that a link
// of the same page names.

namespace {

std::optional<double> numberAt(QPDFObjectHandle destination, int index)
{
    if (index >= destination.getArrayNItems())
        return std::nullopt;
    QPDFObjectHandle item = destination.getArrayItem(index);
    return item.isNumber() ? std::optional<double>(item.getNumericValue()) : std::nullopt;
}

} // namespace

std::vector<PdfNamedPlace> PdfDocument::namedPlaces() const
{
    std::vector<PdfNamedPlace> places;
    try {
        std::map<QPDFObjGen, int> pageIndexOf;
        const std::vector<QPDFObjectHandle>& pages = m_qpdf->getAllPages();
        for (std::size_t index = 0; index < pages.size(); ++index)
            pageIndexOf[pages[index].getObjGen()] = static_cast<int>(index);
        PdfNamedDestinations(*m_qpdf).forEach([&](const std::string& name, QPDFObjectHandle destination) {
            if (!destination.isArray() || destination.getArrayNItems() < 2)
                return true;
            const auto page = pageIndexOf.find(destination.getArrayItem(0).getObjGen());
            if (page == pageIndexOf.end())
                return true;
            const QRectF box = cropBox(page->second);
            QPointF point(box.left(), box.bottom());
            if (destination.getArrayItem(1).isNameAndEquals("/XYZ"))
                point = QPointF(numberAt(destination, 2).value_or(box.left()), numberAt(destination, 3).value_or(box.bottom()));
            places.push_back({name, {page->second, point}});
            return true;
        });
    } catch (const std::exception&) {
        // A damaged name tree names what it could be read for.
    }
    return places;
}

bool PdfDocument::moveNamedPlace(const std::string& name, const PdfDestination& place)
{
    try {
        const std::vector<QPDFObjectHandle>& pages = m_qpdf->getAllPages();
        if (place.pageIndex < 0 || static_cast<std::size_t>(place.pageIndex) >= pages.size())
            return false;
        QPDFObjectHandle destination = PdfNamedDestinations(*m_qpdf).resolve(QPDFObjectHandle::newName("/" + name));
        if (!destination.isArray() || destination.getArrayNItems() < 1)
            return false;
        // Changed where it stands, so that every holder of the name sees the new place.
        destination.setArrayFromVector({pages[static_cast<std::size_t>(place.pageIndex)], QPDFObjectHandle::newName("/XYZ"),
                                        QPDFObjectHandle::newReal(place.point.x(), 2),
                                        QPDFObjectHandle::newReal(place.point.y(), 2), QPDFObjectHandle::newNull()});
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
