#pragma once

#include "toolkit/codec/WebPMetadata.h"

#include <cstdio>

#include <jpeglib.h>

// Collects the ICC profile (APP2 "ICC_PROFILE" segments, joined in sequence order) and the EXIF and XMP
// payloads (APP1) from the markers the decompressor saved. 1 on success; 0 with a message on standard error
// when the profile's segments are inconsistent or a copy fails.
int ExtractJPEGMetadata(const jpeg_decompress_struct& cinfo, Metadata& metadata);
