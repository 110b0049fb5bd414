#pragma once

#include "toolkit/codec/WebPMetadata.h"

#include <cstdio>

#include <webp/decode.h>
#include <webp/encode.h>

// Writes the encoded WebP bytes with the metadata payloads the flags select (kWebPMetadataEXIF, ICC,
// XMP) as ICCP, EXIF and XMP chunks, the VP8X header flagging them; with none selected or present, the
// encoded bytes as they are. 1 written, 0 failed.
int WriteWebPWithMetadata(FILE* file, const WebPPicture& picture, const WebPMemoryWriter& writer,
                          const Metadata& metadata, int flags);

enum class WebPOutputFileFormat {
    TIFF
};

// Writes a decoded picture (RGB, or premultiplied RGBA) as an uncompressed little-endian TIFF at 72 dpi to
// the path, or to standard output for "-". A file is put in place only when written whole. 1 written,
// 0 failed.
int SaveOutput(const WebPDecBuffer& buffer, WebPOutputFileFormat format, const char* path);
