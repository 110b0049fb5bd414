#pragma once

#include <QString>

// The script run in a loaded HTML file, in a world apart from the file's own scripts, before it
// prints. It answers {"pending": n, "zoom": z}: n counts the frames whose document is still
// loading (run it again until n is 0); once none is, content wider than printWidthPx (the
// printable width in CSS pixels) is scaled down as a whole to that width, z being the scale.
namespace HTMLPrintScript {

QString prepareForPrint(int printWidthPx);

} // namespace HTMLPrintScript
