#pragma once

#include "toolkit/codec/CodecBuffer.h"

#include <cstdint>
#include <string>

// The benchmark's picture and the files each codec and tool reads.
namespace CodecBench {

struct Picture {
    uint32_t width = 0;
    uint32_t height = 0;
    CodecBuffer rgb;
};

// Something like a photograph: smooth shading, edges and a little grain, the same on every run.
Picture MakePicture(uint32_t width, uint32_t height);

bool WritePPM(const std::string& path, const Picture& picture);
bool WriteTIFF(const std::string& path, const Picture& picture);
bool WriteBytes(const std::string& path, const CodecBuffer& bytes);
CodecBuffer ReadBytes(const std::string& path);
// A lossy JP2 file (9/7 wavelet, compression ratio 20, six resolutions) made with OpenJPEG.
bool WriteJP2(const std::string& path, const Picture& picture);

} // namespace CodecBench
