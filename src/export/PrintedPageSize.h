#pragma once

#include <QByteArray>
#include <QSizeF>

// The engine prints on paper rounded to its own device units (A4 comes out as 594.96 x 841.92
// points): the printed pages are given exactly the paper size asked, in points, before anything
// reads them. The page's top edge stays where the engine drew from, so nothing moves against the
// margins; the bottom and right edges take the difference, a fraction of a point.
//
// Answers the PDF with every page's media box set to the paper's width and height below its old
// top edge and any other page box dropped; the bytes unchanged when they already have that size or
// cannot be read.
QByteArray WithExactPageSize(const QByteArray& pdf, const QSizeF& paper);
