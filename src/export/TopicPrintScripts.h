#pragma once

#include <QString>

// Scripts run in a loaded topic, in a world apart from the topic's own scripts, before it prints.
namespace TopicPrintScripts {

// Lays the topic out so that printing loses nothing, and answers {"pending": n, "zoom": z,
// "height": h}, h being the laid-out document's height in CSS pixels:
// - a frameset (which the engine prints as one clipped page) becomes the same frames one below
//   the other, each as an inline frame;
// - every inline frame whose document can be reached grows to the height of its content, at most
//   maxHeightPx, innermost first;
// - a topic wider than printWidthPx (the printable width in CSS pixels), or with content hidden in
//   a box that clips it, is made to print whole (the engine cuts off what lies beyond the printable
//   width): lines that can wrap wrap, clipping boxes let their content out, fixed-width boxes and
//   images keep to the printed width, and what still reaches beyond it is scaled down on its own;
//   a page-wide scale is the last resort. Only the elements that overflow are changed;
// - a fixed element in view takes its place in the flow and prints once (the engine would repeat it
//   over the text of every page); one out of view is taken out;
// - what a <noscript> holds stays hidden once the page's scripts are stopped for the print;
// - a hidden link to every named element (its first "name" or "id" attribute) has the engine write
//   into the print, as a named destination, where each of them lies.
// n counts inline frames that are still loading: run the script again until it is 0.
QString prepareForPrint(int printWidthPx, double maxHeightPx);

} // namespace TopicPrintScripts
