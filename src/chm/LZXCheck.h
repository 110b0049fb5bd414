#pragma once

#include <QByteArrayView>

#include <array>
#include <cstdint>
#include <vector>

// chmlib's LZX decoder trusts the compressed data: its bit reader runs past the input, a match may
// copy from before its window, lengths and Huffman tables may overrun its arrays, and a match that
// runs past its frame makes it copy the frame from before the window. This decodes the compressed
// section the way chmlib will, with every read checked, without producing any output: only
// positions and lengths matter for what chmlib would touch.
namespace LZXCheck {

// chmlib decompresses the section in frames of this many bytes, from a buffer this large.
inline constexpr std::uint32_t kFrameLength = 0x8000;
inline constexpr std::int64_t kInputBufferLength = kFrameLength + 6144;

// How chmlib will decompress the section.
struct Stream {
    int windowBits = 15;              // 15 to 21
    std::uint32_t framesPerReset = 1; // at least 1
    // The compressed bytes of frames 0, 1, ..., up to the last one chmlib may be asked for.
    std::vector<QByteArrayView> frames;
};

// True when chmlib decodes every frame without error and without reading or writing outside its
// buffers: no bit taken from past a frame's input, no load past chmlib's input buffer, no match
// from before the data decoded since the last reset or from beyond the window, no Huffman lengths
// chmlib's table builder rejects, no uncompressed block past its input and no frame longer than
// kFrameLength.
bool decodesSafely(const Stream& stream);

// How many frames from the first chmlib decodes safely before the first one it would not: chmlib
// decodes a frame only after every frame before it since the last reset.
std::size_t safeFrameCount(const Stream& stream);

} // namespace LZXCheck
