#include "toolkit/html/HTMLPrintSettings.h"

#include "common/PrintTimeLimit.h"

#include <QMarginsF>
#include <QPageSize>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kCssPixelsPerPoint = 96.0 / 72.0;

} // namespace

QSizeF HTMLPrintSettings::orientedPaperSize() const
{
    if (!isLandscape())
        return QSizeF(paperWidth, paperHeight);
    return QSizeF(paperHeight, paperWidth);
}

QSize HTMLPrintSettings::printableViewSize() const
{
    const QSizeF paper = orientedPaperSize();
    const double width = (paper.width() - leftMargin - rightMargin) * kCssPixelsPerPoint;
    const double height = (paper.height() - topMargin - bottomMargin) * kCssPixelsPerPoint;
    return QSize(std::max(1, static_cast<int>(std::lround(width))), std::max(1, static_cast<int>(std::lround(height))));
}

QPageLayout HTMLPrintSettings::pageLayout() const
{
    const QSizeF paper = orientedPaperSize();
    const bool roomLeft = paper.width() - leftMargin - rightMargin > 0 && paper.height() - topMargin - bottomMargin > 0;
    const bool marginsValid = leftMargin >= 0 && rightMargin >= 0 && topMargin >= 0 && bottomMargin >= 0;
    if (!roomLeft || !marginsValid || !paper.isValid())
        return QPageLayout();
    // The engine takes a portrait page size and an orientation: hand it the page that way round.
    const bool across = paper.width() > paper.height();
    const QPageSize pageSize(across ? paper.transposed() : paper, QPageSize::Point, QString(), QPageSize::ExactMatch);
    return QPageLayout(pageSize, across ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(leftMargin, topMargin, rightMargin, bottomMargin), QPageLayout::Point);
}

std::chrono::milliseconds HTMLPrintSettings::printTimeout(double laidOutHeight) const
{
    return PrintTimeLimit::ForSheets(laidOutHeight / printableViewSize().height());
}
