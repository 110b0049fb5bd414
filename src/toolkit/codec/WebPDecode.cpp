#include "toolkit/codec/WebPCodec.h"
#include "toolkit/codec/WebPFileWriters.h"

#include "toolkit/imageio/SourceLimits.h"

#include <webp/demux.h>

#include <cstdio>
#include <memory>

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

struct AnimDecoderDelete {
    void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};

// An animation's first frame, composed on its canvas (premultiplied RGBA), written as the TIFF: what the
// library allows of an animation where one picture is wanted. The canvas and the frame before are
// weighed first, as the decoder holds both.
int DecodeFirstFrameToTiffFile(const uint8_t* data, size_t length, const char* tiffPath)
{
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        return kWebPDecodeConfigInitFailed;
    options.color_mode = MODE_rgbA;
    options.use_threads = 0;
    const WebPData bytes = {data, length};
    std::unique_ptr<WebPAnimDecoder, AnimDecoderDelete> decoder(WebPAnimDecoderNew(&bytes, &options));
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info) || info.frame_count == 0
        || !FitsSourceBound("WebP", info.canvas_width, info.canvas_height, 8))
        return kWebPDecodeFailed;
    uint8_t* frame = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &frame, &timestamp) || !frame)
        return kWebPDecodeFailed;
    WebPDecBuffer output;
    if (!WebPInitDecBuffer(&output))
        return kWebPDecodeConfigInitFailed;
    output.colorspace = MODE_rgbA;
    output.width = static_cast<int>(info.canvas_width);
    output.height = static_cast<int>(info.canvas_height);
    output.is_external_memory = 1;
    output.u.RGBA.rgba = frame;
    output.u.RGBA.stride = output.width * 4;
    output.u.RGBA.size = static_cast<size_t>(output.u.RGBA.stride) * info.canvas_height;
    const bool saved = !tiffPath || SaveOutput(output, WebPOutputFileFormat::TIFF, tiffPath);
    return saved ? kWebPDecodeSuccess : kWebPDecodeOutputWriteFailed;
}

} // namespace

int DecodeWebPToTiffFile(const uint8_t* data, size_t length, WebPDecoderConfig* config, const char* tiffPath)
{
    if (!config)
        return kWebPDecodeConfigInitFailed;
    if (!ReadFeatures(data, length, config))
        return kWebPDecodeNotWebP;
    if (config->input.has_animation)
        return DecodeFirstFrameToTiffFile(data, length, tiffPath);
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
