#pragma once

#include <cstdint>

class Stream;

// The bounds on one image inside a PDF: untrusted files declare whatever sizes they like, and a
// decoder allocates, and a renderer scales, what they declare. An image is extracted only within
// kMaxPDFImageSide a side, since it becomes an image file; the roads that draw images (pages) take any
// shape of at most as many pixels. Both take at most kMaxPDFImageSampleBytes of samples.
inline constexpr std::int64_t kMaxPDFImageSide = 1 << 15;
inline constexpr std::int64_t kMaxPDFImagePixels = kMaxPDFImageSide * kMaxPDFImageSide;
inline constexpr std::int64_t kMaxPDFImageSampleBytes = std::int64_t(1) << 30;

// The bounds in words, for the messages that name them.
inline constexpr const char* kPDFImageBoundText = "32,768 pixels a side, 1 GiB of samples";
inline constexpr const char* kPDFDrawnImageBoundText = "32,768 x 32,768 pixels, 1 GiB of samples";

// Whether an image of this declared size and depth may be drawn.
bool PDFImageAreaFits(std::int64_t width, std::int64_t height, int samplesPerPixel, int bitsPerSample);

// Whether a JBIG2 filter in the stream's chain declares only areas within kMaxPDFImagePixels: its page
// and every region, in the image's own segments and in its global ones. The PDF library allocates the
// page the segments declare, whatever the image's own width and height say; this reads only the
// segment headers. True when there is no JBIG2 filter. An inline image's data cannot be read twice,
// so an inline image with a JBIG2 filter (which the PDF format does not allow) never fits.
bool JBIG2DeclaredSizesFit(Stream& stream, bool inlineImage);
