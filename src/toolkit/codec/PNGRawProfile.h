#pragma once

#include "toolkit/codec/CodecBuffer.h"

#include <cstddef>

// Decodes a raw profile as image tools store EXIF and XMP in PNG text chunks: a line feed, a name line,
// a decimal byte count and a line feed, then the bytes as pairs of hexadecimal digits (line feeds allowed
// between pairs). The payload is set only when exactly the count of bytes decodes. 1 on success, 0 on
// failure (a malformed start writes its message to standard error).
int ProcessRawProfile(const char* text, size_t length, CodecBuffer* payload);
