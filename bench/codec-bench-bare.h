#pragma once

#include "codec-bench-images.h"

#include <string>

// The same work done with the codec libraries alone, in process: the baseline the glue's overhead is
// measured against. Each returns false when the library fails.
namespace CodecBench {

bool BareJPEGDecode(const CodecBuffer& jpeg);
bool BareJPEGEncode(const Picture& picture, int quality);
// OpenJPEG's own file stream and decoder, without turning the samples into packed bytes.
bool BareJPEG2000Decode(const std::string& jp2Path);
bool BareWebPDecodeRGBA(const CodecBuffer& webp);

} // namespace CodecBench
