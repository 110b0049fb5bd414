#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <openjpeg.h>

// An OpenJPEG input stream over bytes in memory. Reads past the end get nothing, so a file that claims
// more than it holds ends early instead of being read beyond its bytes.
struct JPEG2000MemoryStreamState {
    const uint8_t* data = nullptr;
    uint64_t length = 0;
    uint64_t offset = 0;
};

struct JPEG2000StreamRelease {
    void operator()(opj_stream_t* stream) const { opj_stream_destroy(stream); }
};
using JPEG2000Stream = std::unique_ptr<opj_stream_t, JPEG2000StreamRelease>;

// The state must outlive the stream.
JPEG2000Stream OpenJPEG2000MemoryStream(JPEG2000MemoryStreamState& state);
