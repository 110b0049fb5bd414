#include "codec-bench-images.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include <openjpeg.h>
#include <tiffio.h>

namespace CodecBench {

Picture MakePicture(uint32_t width, uint32_t height)
{
    Picture picture{width, height, CodecBuffer(size_t{width} * height * 3)};
    std::mt19937 random(24);
    std::uniform_int_distribution<int> grain(-6, 6);
    uint8_t* out = picture.rgb.data();
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const double u = double(x) / width;
            const double v = double(y) / height;
            const bool inDisc = std::hypot(u - 0.6, v - 0.4) < 0.2;
            const double shade = 0.5 + 0.5 * std::sin(u * 9.0 + std::cos(v * 7.0));
            const double base[3] = {inDisc ? 210.0 : 60 + 120 * shade, 40 + 170 * v * shade, inDisc ? 50.0 : 200 - 150 * u};
            for (const double channel : base)
                *out++ = static_cast<uint8_t>(std::clamp(static_cast<int>(channel) + grain(random), 0, 255));
        }
    }
    return picture;
}

bool WriteBytes(const std::string& path, const CodecBuffer& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

CodecBuffer ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return CodecBuffer(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool WritePPM(const std::string& path, const Picture& picture)
{
    const std::string header = "P6\n" + std::to_string(picture.width) + " " + std::to_string(picture.height) + "\n255\n";
    CodecBuffer bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), picture.rgb.begin(), picture.rgb.end());
    return WriteBytes(path, bytes);
}

bool WriteTIFF(const std::string& path, const Picture& picture)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff)
        return false;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, picture.width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, picture.height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 64);
    const size_t rowBytes = size_t{picture.width} * 3;
    bool ok = true;
    for (uint32_t y = 0; y < picture.height && ok; ++y)
        ok = TIFFWriteScanline(tiff, const_cast<uint8_t*>(picture.rgb.data() + rowBytes * y), y, 0) == 1;
    TIFFClose(tiff);
    return ok;
}

bool WriteJP2(const std::string& path, const Picture& picture)
{
    std::vector<opj_image_cmptparm_t> parameters(3, opj_image_cmptparm_t{});
    for (opj_image_cmptparm_t& component : parameters) {
        component.dx = component.dy = 1;
        component.w = picture.width;
        component.h = picture.height;
        component.prec = 8;
    }
    opj_image_t* image = opj_image_create(3, parameters.data(), OPJ_CLRSPC_SRGB);
    image->x1 = picture.width;
    image->y1 = picture.height;
    const size_t area = size_t{picture.width} * picture.height;
    for (size_t i = 0; i < area; ++i) {
        for (int c = 0; c < 3; ++c)
            image->comps[c].data[i] = picture.rgb[i * 3 + static_cast<size_t>(c)];
    }
    opj_cparameters_t settings;
    opj_set_default_encoder_parameters(&settings);
    settings.tcp_numlayers = 1;
    settings.tcp_rates[0] = 20;
    settings.cp_disto_alloc = 1;
    settings.irreversible = 1;
    settings.tcp_mct = 1;
    opj_codec_t* codec = opj_create_compress(OPJ_CODEC_JP2);
    opj_stream_t* stream = opj_stream_create_default_file_stream(path.c_str(), OPJ_FALSE);
    const bool ok = stream && opj_setup_encoder(codec, &settings, image) && opj_start_compress(codec, image, stream) && opj_encode(codec, stream) && opj_end_compress(codec, stream);
    if (stream)
        opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    return ok;
}

} // namespace CodecBench
