#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

class PDFColorSpace;

// Conversions of image samples that the image layer cannot take as they are. Each makes one new
// buffer or nothing; the caller keeps the data it had when nothing comes back.

// One byte per sample from 1, 2, 4 or 16-bit samples; rows (width × components samples) start on
// a byte in the input and their padding bits are dropped. A Decode array of exactly (1, 0) inverts
// 1-bit samples. A short last row is filled up with zero samples; data without one whole row gives
// nothing.
std::optional<QByteArray> ExpandSamplesTo8Bit(const QByteArray& data, int bitsPerComponent,
                                              const std::vector<double>& decode, int64_t width,
                                              int componentCount);

// Applies a Decode array to samples already expanded to bytes (pair k to the k-th byte of each
// run of decode.size() / 2). Elsewhere than Indexed a byte stands for the fraction byte / 255 of its
// component's range (ranges, a pair per component; 0 to 1 where none is given): the pair maps the
// sample onto a value, written back as its place in that range. For an Indexed space the pair maps
// the sample value (0 .. 2^declaredBits - 1) onto a table index, written back in the scale
// ExpandIndexedSamples reads for that depth.
std::optional<QByteArray> ApplyDecodeArray(const QByteArray& data, int declaredBits,
                                           const std::vector<double>& decode, bool indexed,
                                           const std::vector<double>& ranges = {});

// The base-space bytes of each sample's table entry; the index is clamped to hival.
std::optional<QByteArray> ExpandIndexedSamples(const PDFColorSpace& indexed, int declaredDepth,
                                               const QByteArray& data);
