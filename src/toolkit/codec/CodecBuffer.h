#pragma once

#include <cstdint>
#include <vector>

// Bytes handed in and out of the codec glue: compressed data, packed pixels, ICC profiles, metadata
// payloads. The caller owns what a function hands back; it is released with the buffer.
using CodecBuffer = std::vector<uint8_t>;
