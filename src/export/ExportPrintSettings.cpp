#include "export/ExportPrintSettings.h"

#include "common/TomefoldConversionOptions.h"

#include <QPageSize>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kCssPixelsPerPoint = 96.0 / 72.0;
// Measured on long documentation topics: glyphs reached 1.2 pt above the first line of a page and
// 1 pt below the last.
constexpr double kInkAllowanceTop = 1.5;
constexpr double kInkAllowanceBottom = 1.0;

} // namespace

ExportPrintSettings ExportPrintSettings::fromOptions(const TomefoldConversionOptions& options)
{
    ExportPrintSettings settings;
    settings.orientation = options.orientation;
    settings.leftMargin = options.leftMargin;
    settings.topMargin = options.topMargin;
    settings.rightMargin = options.rightMargin;
    settings.bottomMargin = options.bottomMargin;
    settings.paperWidth = options.pageWidth;
    settings.paperHeight = options.pageHeight;
    return settings;
}

bool ExportPrintSettings::isLandscape() const
{
    return orientation == kTomefoldLandscapeOrientation;
}

QSizeF ExportPrintSettings::orientedPaperSize() const
{
    if (!isLandscape())
        return QSizeF(paperWidth, paperHeight);
    return QSizeF(std::max(paperWidth, paperHeight), std::min(paperWidth, paperHeight));
}

QSizeF ExportPrintSettings::printableSize() const
{
    const QSizeF paper = orientedPaperSize();
    return QSizeF(paper.width() - leftMargin - rightMargin, paper.height() - topMargin - bottomMargin);
}

QSize ExportPrintSettings::printableViewSize() const
{
    const QSizeF printable = printableSize();
    return QSize(std::max(1, static_cast<int>(std::lround(printable.width() * kCssPixelsPerPoint))),
                 std::max(1, static_cast<int>(std::lround(printable.height() * kCssPixelsPerPoint))));
}

QPageLayout ExportPrintSettings::pageLayout() const
{
    // The engine takes a portrait page size and an orientation; hand it the page that way round.
    const QSizeF paper = orientedPaperSize();
    const bool across = paper.width() > paper.height();
    const QPageSize pageSize(across ? paper.transposed() : paper, QPageSize::Point, QString(), QPageSize::ExactMatch);
    // A page too short for the allowance keeps the margins asked.
    const bool roomForInk = printableSize().height() > 2 * (kInkAllowanceTop + kInkAllowanceBottom);
    const QMarginsF ink = roomForInk ? QMarginsF(0, kInkAllowanceTop, 0, kInkAllowanceBottom) : QMarginsF();
    return QPageLayout(pageSize, across ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(leftMargin, topMargin, rightMargin, bottomMargin) + ink, QPageLayout::Point);
}
