#pragma once

#include <QPageLayout>
#include <QSize>
#include <QSizeF>

#include <cstdint>

struct TomefoldConversionOptions;

// Paper, margins and orientation of every printed topic, in points.
//
// The paper size is given as the sizes table writes it (normally portrait); the orientation then
// turns it: a landscape page has its long side across. A size already wider than high stays as it
// is in landscape, so a landscape request is never turned twice.
struct ExportPrintSettings {
    // Without an options record: the platform's default print settings (US Letter, portrait,
    // one inch at the sides and 1.25 inch at top and bottom).
    double paperWidth = 612.0;
    double paperHeight = 792.0;
    double leftMargin = 72.0;
    double rightMargin = 72.0;
    double topMargin = 90.0;
    double bottomMargin = 90.0;
    std::uint64_t orientation = 0;

    static ExportPrintSettings fromOptions(const TomefoldConversionOptions& options);

    bool isLandscape() const;
    // The page as printed: paper size turned by the orientation.
    QSizeF orientedPaperSize() const;
    // The page less its margins.
    QSizeF printableSize() const;
    // The printable area in the web engine's CSS pixels (96 per inch), the size of the view that lays
    // a topic out as it will print.
    QSize printableViewSize() const;
    // The page handed to the engine: the paper and margins above, with the printable area a little
    // shorter at top and bottom. The engine lays lines flush with a page's edges while their glyphs
    // reach past their line boxes (code by up to 0.1 em): so their ink stays within the margins.
    QPageLayout pageLayout() const;
};
