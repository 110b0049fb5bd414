#include "toolkit/codec/WebPCodec.h"
#include "toolkit/codec/WebPFileWriters.h"

#include <cstdio>

namespace {

// Steps shared by the decoders: the features into the caller's configuration, and a word on animation.
bool ReadFeatures(const uint8_t* data, size_t length, WebPDecoderConfig* config)
{
    if (!data || WebPGetFeatures(data, length, &config->input) != VP8_STATUS_OK)
        return false;
    if (config->input.has_animation) {
        std::fprintf(stderr,
                     "Error! Decoding of an animated WebP file is not supported.\n"
                     "       Use webpmux to extract the individual frames or\n"
                     "       vwebp to view this image.\n");
    }
    return true;
}

// Clears what a failed decode may have left in the output buffer.
bool Decode(const uint8_t* data, size_t length, WebPDecoderConfig* config)
{
    if (WebPDecode(data, length, config) == VP8_STATUS_OK)
        return true;
    WebPFreeDecBuffer(&config->output);
    return false;
}

} // namespace

int DecodeWebPToTiffFile(const uint8_t* data, size_t length, WebPDecoderConfig* config, const char* tiffPath)
{
    if (!config)
        return kWebPDecodeConfigInitFailed;
    if (!ReadFeatures(data, length, config))
        return kWebPDecodeNotWebP;
    config->output.colorspace = config->input.has_alpha ? MODE_rgbA : MODE_RGB;
    if (!Decode(data, length, config))
        return kWebPDecodeFailed;
    const bool saved = !tiffPath || SaveOutput(config->output, WebPOutputFileFormat::TIFF, tiffPath);
    WebPFreeDecBuffer(&config->output);
    return saved ? kWebPDecodeSuccess : kWebPDecodeOutputWriteFailed;
}

int DecodeWebPToRGBA(const uint8_t* data, size_t length, WebPDecoderConfig* config)
{
    if (!config)
        return kWebPDecodeConfigInitFailed;
    if (!ReadFeatures(data, length, config))
        return kWebPDecodeNotWebP;
    config->output.colorspace = MODE_RGBA;
    return Decode(data, length, config) ? kWebPDecodeSuccess : kWebPDecodeFailed;
}

int GetWebPDimensions(const uint8_t* data, size_t length, int* width, int* height)
{
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        return kWebPDecodeConfigInitFailed;
    if (!data || WebPGetFeatures(data, length, &config.input) != VP8_STATUS_OK)
        return kWebPDecodeNotWebP;
    if (width)
        *width = config.input.width;
    if (height)
        *height = config.input.height;
    return kWebPDecodeSuccess;
}
