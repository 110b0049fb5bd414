#pragma once

#include "toolkit/codec/CodecBuffer.h"

#include <cstddef>

// The metadata an input file carries into a WebP file. An empty payload is an empty buffer.
struct Metadata {
    CodecBuffer exif;
    CodecBuffer iccp;
    CodecBuffer xmp;
};

void MetadataInit(Metadata* metadata);
void MetadataFree(Metadata* metadata);

// Puts a copy of the bytes in the payload. 0 when the bytes or the payload are missing, the size is 0 or
// no memory can be had; 1 otherwise.
int MetadataCopy(const char* bytes, size_t size, CodecBuffer* payload);
