#include "codec-bench-bare.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>
#include <openjpeg.h>
#include <webp/decode.h>

namespace CodecBench {

// The files are the benchmark's own: libjpeg's standard error exit is good enough here.
bool BareJPEGDecode(const CodecBuffer& jpeg)
{
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    const size_t rowBytes = size_t{cinfo.output_width} * static_cast<size_t>(cinfo.output_components);
    std::vector<uint8_t> pixels(rowBytes * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.data() + rowBytes * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool BareJPEGEncode(const Picture& picture, int quality)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = picture.width;
    cinfo.image_height = picture.height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const size_t rowBytes = size_t{picture.width} * 3;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(picture.rgb.data() + rowBytes * cinfo.next_scanline);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return size > 0;
}

bool BareJPEG2000Decode(const std::string& jp2Path)
{
    opj_stream_t* stream = opj_stream_create_default_file_stream(jp2Path.c_str(), OPJ_TRUE);
    opj_codec_t* codec = opj_create_decompress(OPJ_CODEC_JP2);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    opj_image_t* image = nullptr;
    const bool ok = stream && opj_setup_decoder(codec, &parameters) && opj_read_header(stream, codec, &image) && opj_decode(codec, stream, image);
    opj_image_destroy(image);
    opj_destroy_codec(codec);
    if (stream)
        opj_stream_destroy(stream);
    return ok;
}

bool BareWebPDecodeRGBA(const CodecBuffer& webp)
{
    int width = 0;
    int height = 0;
    uint8_t* pixels = WebPDecodeRGBA(webp.data(), webp.size(), &width, &height);
    WebPFree(pixels);
    return pixels != nullptr;
}

} // namespace CodecBench
