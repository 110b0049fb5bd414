#pragma once

#include <QPageLayout>
#include <QSize>
#include <QSizeF>

#include <chrono>
#include <cstdint>

// Paper, margins and orientation an HTML file is printed with, in points. Landscape swaps the
// paper's width and height, whatever its shape.
struct HTMLPrintSettings {
    double paperWidth = 612.0;
    double paperHeight = 792.0;
    double leftMargin = 0;
    double rightMargin = 0;
    double topMargin = 0;
    double bottomMargin = 0;
    std::uint64_t orientation = 0; // 1 landscape

    bool isLandscape() const { return orientation == 1; }
    QSizeF orientedPaperSize() const;
    // The width the content is fitted to and the view it is laid out in, in CSS pixels (96 per
    // inch): the printable area, at least one pixel each way.
    QSize printableViewSize() const;
    // Invalid when the margins leave no room on the paper.
    QPageLayout pageLayout() const;
    // How long a page laid out this high (CSS pixels; 0 when unknown) may take to print: longer
    // for every sheet it fills.
    std::chrono::milliseconds printTimeout(double laidOutHeight) const;
};
