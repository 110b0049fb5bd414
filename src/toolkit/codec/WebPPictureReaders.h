#pragma once

#include "toolkit/codec/WebPMetadata.h"

#include <cstdio>

#include <webp/encode.h>

// Readers that load a PNG, JPEG or TIFF file into a libwebp picture and collect the metadata its format
// carries (metadata may be null: then none is collected). Each reports 1 on success and 0 on failure, with
// its messages on standard error; on failure the metadata is emptied. Pictures wider or taller than WebP
// allows are refused before their pixels are read.

// Recognises the file by its first bytes and hands it to the matching reader.
int ReadPicture(const char* path, WebPPicture* picture, int keepAlpha, Metadata* metadata);

int ReadPNG(FILE* file, WebPPicture* picture, int keepAlpha, Metadata* metadata);
int ReadJPEG(FILE* file, WebPPicture* picture, Metadata* metadata);
int ReadTIFF(const char* path, WebPPicture* picture, int keepAlpha, Metadata* metadata);
