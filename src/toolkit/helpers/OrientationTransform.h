#pragma once

#include <QTransform>

#include <cstdint>

// The orientation matrices map the drawing of a width × height image (in a bitmap context whose origin
// is the lower-left corner, y upwards) onto the rotated and mirrored output. The matrix (a, b, c, d, tx,
// ty) maps (x, y) to (a·x + c·y + tx, b·x + d·y + ty), which is QTransform(a, b, c, d, tx, ty).
QTransform OrientationMatrix(int index, double width, double height);

// Which of the eight matrices a flip mask (bit 0 mirrors left-right, bit 1 top-bottom) and an angle in
// degrees select.
int OrientationIndex(std::uint32_t flipFlags, long long angle);

QTransform GetOrientationTransform(double width, double height, std::uint32_t flipFlags, long long angle);

// The matrix that turns a context of the given pixel height with its origin at the top-left (QPainter's)
// into one with its origin at the lower-left, y upwards, where the toolkit's geometry is expressed.
QTransform BitmapContextTransform(double height);
