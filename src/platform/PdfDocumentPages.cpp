#include "platform/PdfDocument.h"

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>

#include <cmath>
#include <exception>
#include <optional>
#include <set>

// Page attributes that a page may carry itself or inherit from the nodes of its page tree.

namespace {

// Deeper page trees than this are not made by any writer; a /Parent chain that long is a loop
// through direct objects, which the seen set cannot recognise.
constexpr int maximumTreeDepth = 256;

std::optional<QPDFObjectHandle> pageOf(QPDF& document, int pageIndex)
{
    const std::vector<QPDFObjectHandle>& pages = document.getAllPages();
    if (pageIndex < 0 || static_cast<size_t>(pageIndex) >= pages.size())
        return std::nullopt;
    return pages[static_cast<size_t>(pageIndex)];
}

// The page's own value of key, else the nearest ancestor's; null when none has one. A /Parent
// chain that comes round again ends where it does.
QPDFObjectHandle inheritedAttribute(QPDFObjectHandle page, const std::string& key)
{
    std::set<QPDFObjGen> seen;
    QPDFObjectHandle node = page;
    for (int depth = 0; depth < maximumTreeDepth && node.isDictionary(); ++depth) {
        if (node.isIndirect() && !seen.insert(node.getObjGen()).second)
            break;
        QPDFObjectHandle value = node.getKey(key);
        if (!value.isNull())
            return value;
        node = node.getKey("/Parent");
    }
    return QPDFObjectHandle::newNull();
}

QRectF rectangleOf(QPDFObjectHandle box)
{
    if (!box.isRectangle())
        return {};
    const QPDFObjectHandle::Rectangle corners = box.getArrayAsRectangle();
    const QRectF rectangle = QRectF(QPointF(corners.llx, corners.lly), QPointF(corners.urx, corners.ury)).normalized();
    const bool finite = std::isfinite(rectangle.x()) && std::isfinite(rectangle.y())
                        && std::isfinite(rectangle.width()) && std::isfinite(rectangle.height());
    return finite ? rectangle : QRectF();
}

int normalisedRotation(long long degrees)
{
    const long long turned = ((degrees % 360) + 360) % 360;
    return static_cast<int>(turned);
}

} // namespace

int PdfDocument::pageRotation(int pageIndex) const
{
    try {
        std::optional<QPDFObjectHandle> page = pageOf(*m_qpdf, pageIndex);
        if (!page)
            return 0;
        QPDFObjectHandle rotate = inheritedAttribute(*page, "/Rotate");
        long long degrees = 0;
        if (rotate.isInteger()) {
            degrees = rotate.getIntValue();
        } else if (rotate.isReal()) {
            // Some writers store 90.0; anything not a whole number is no rotation at all.
            const double value = rotate.getNumericValue();
            if (!std::isfinite(value) || std::fabs(value) > 1e9 || std::trunc(value) != value)
                return 0;
            degrees = static_cast<long long>(value);
        }
        // Viewers show a page whose /Rotate is no multiple of 90 upright.
        return degrees % 90 == 0 ? normalisedRotation(degrees) : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

bool PdfDocument::setPageRotation(int pageIndex, int degrees)
{
    if (degrees % 90 != 0)
        return false;
    try {
        std::optional<QPDFObjectHandle> page = pageOf(*m_qpdf, pageIndex);
        if (!page)
            return false;
        // The page's own key wins over an inherited one, so the page's siblings keep theirs.
        page->replaceKey("/Rotate", QPDFObjectHandle::newInteger(normalisedRotation(degrees)));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

QRectF PdfDocument::cropBox(int pageIndex) const
{
    try {
        std::optional<QPDFObjectHandle> page = pageOf(*m_qpdf, pageIndex);
        if (!page)
            return {};
        const QRectF crop = rectangleOf(inheritedAttribute(*page, "/CropBox"));
        return crop.isValid() ? crop : rectangleOf(inheritedAttribute(*page, "/MediaBox"));
    } catch (const std::exception&) {
        return {};
    }
}
