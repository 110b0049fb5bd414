#pragma once

#include <QByteArray>
#include <QSizeF>

// The engine prints on paper rounded to its own device units (A4 comes out as 594.96 x 841.92
// points): the printed pages are given exactly the paper size asked, in points, before anything
// reads them. The content stays where it was drawn: it moves by the difference, a fraction of a
// point, which the margins take.
//
// Answers the PDF with every page's media box set to (0, 0, width, height) and any other page box
// dropped; the bytes unchanged when they already have that size or cannot be read.
QByteArray WithExactPageSize(const QByteArray& pdf, const QSizeF& paper);
