#pragma once

#include <cstddef>
#include <cstdint>

#include <webp/decode.h>
#include <webp/encode.h>

// WebP glue over libwebp: PNG, JPEG and TIFF files to WebP with their metadata, and WebP bytes to pixels
// or to an uncompressed TIFF file. Any thread may call.

// Metadata selection flags of EncodeImageFileToWebP.
inline constexpr int kWebPMetadataEXIF = 1;
inline constexpr int kWebPMetadataICC = 2;
inline constexpr int kWebPMetadataXMP = 4;

// Results of EncodeImageFileToWebP.
inline constexpr int kWebPEncodeSuccess = 0;
inline constexpr int kWebPEncodePictureInitFailed = -301; // library version mismatch
inline constexpr int kWebPEncodeInvalidConfig = -302;
inline constexpr int kWebPEncodeUnreadableInput = -303;
inline constexpr int kWebPEncodeOutputOpenFailed = -304;
inline constexpr int kWebPEncodeEncodingFailed = -305;
inline constexpr int kWebPEncodeWriteFailed = -306;

// Results of the decoding functions.
inline constexpr int kWebPDecodeSuccess = 0;
inline constexpr int kWebPDecodeConfigInitFailed = -233;
inline constexpr int kWebPDecodeNotWebP = -234;           // no readable WebP features
inline constexpr int kWebPDecodeFailed = -235;            // features read, but the bitstream does not decode
inline constexpr int kWebPDecodeOutputWriteFailed = -236; // decoded, but the TIFF file cannot be written

// Reads the PNG, JPEG or TIFF file at inputPath (alpha kept, metadata collected), encodes it with the
// caller's configuration and, when outputPath is not null, writes a WebP file carrying the metadata that
// metadataFlags select (ICCP, EXIF and XMP chunks). The file appears only when it was written whole.
int EncodeImageFileToWebP(const char* inputPath, const char* outputPath, const WebPConfig* config, int metadataFlags);

// Decodes to RGB, or to premultiplied RGBA when the image has alpha (an animation: its first frame on its
// canvas, RGBA), and, when tiffPath is not null, writes the pixels as an uncompressed TIFF file (72 dpi). The config is the caller's, set up with
// WebPInitDecoderConfig; its output buffer is released before returning. No file is left behind on failure.
int DecodeWebPToTiffFile(const uint8_t* data, size_t length, WebPDecoderConfig* config, const char* tiffPath);

// Decodes to non-premultiplied RGBA into config->output, which the caller releases with WebPFreeDecBuffer
// (also after a failure, where it is already empty).
int DecodeWebPToRGBA(const uint8_t* data, size_t length, WebPDecoderConfig* config);

// The image's width and height from its header.
int GetWebPDimensions(const uint8_t* data, size_t length, int* width, int* height);
