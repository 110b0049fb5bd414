#include "toolkit/codec/CodecTestImages.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <jpeglib.h>
#include <lcms2.h>
#include <png.h>
#include <tiffio.h>

namespace CodecTestImages {

namespace {

struct FileClose {
    void operator()(FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<FILE, FileClose>;

File OpenForWriting(const QString& path)
{
    return File(std::fopen(QFile::encodeName(path).constData(), "wb"));
}

} // namespace

CodecBuffer Gradient(uint32_t width, uint32_t height, uint32_t components)
{
    CodecBuffer pixels(size_t{width} * height * components);
    size_t i = 0;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            for (uint32_t c = 0; c < components; ++c) {
                // A triangle wave: steep in places, but without jumps.
                const uint32_t t = (x * (c + 1) * 510 / width + y * 128 / height + c * 40) % 510;
                pixels[i++] = static_cast<uint8_t>(t < 256 ? t : 509 - t);
            }
        }
    }
    return pixels;
}

int MaxDifference(const CodecBuffer& a, const CodecBuffer& b)
{
    if (a.size() != b.size())
        return -1;
    int largest = 0;
    for (size_t i = 0; i < a.size(); ++i)
        largest = std::max(largest, std::abs(int{a[i]} - int{b[i]}));
    return largest;
}

double MeanDifference(const CodecBuffer& a, const CodecBuffer& b)
{
    if (a.size() != b.size())
        return -1;
    double total = 0;
    for (size_t i = 0; i < a.size(); ++i)
        total += std::abs(int{a[i]} - int{b[i]});
    return a.empty() ? 0 : total / static_cast<double>(a.size());
}

CodecBuffer ReadWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return CodecBuffer(bytes.begin(), bytes.end());
}

bool WriteWholeFile(const QString& path, const CodecBuffer& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

bool WritePNG(const QString& path, const PNGSpec& spec)
{
    File file = OpenForWriting(path);
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colourType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color_16 transparent{};
    if (spec.transparentGrey)
        png_set_tRNS(png, info, nullptr, 0, &transparent);
    std::vector<png_text> texts(spec.texts.size());
    for (size_t i = 0; i < spec.texts.size(); ++i) {
        texts[i].compression = spec.texts[i].international ? PNG_ITXT_COMPRESSION_NONE : PNG_TEXT_COMPRESSION_NONE;
        texts[i].key = const_cast<char*>(spec.texts[i].key.c_str());
        texts[i].text = const_cast<char*>(spec.texts[i].text.c_str());
        texts[i].text_length = spec.texts[i].text.size();
    }
    if (!texts.empty())
        png_set_text(png, info, texts.data(), static_cast<int>(texts.size()));
    if (!spec.iccProfile.empty())
        png_set_iCCP(png, info, "test", 0, spec.iccProfile.data(), static_cast<png_uint_32>(spec.iccProfile.size()));
    png_write_info(png, info);
    const int passes = png_set_interlace_handling(png);
    const size_t rowBytes = png_get_rowbytes(png, info);
    for (int pass = 0; pass < passes; ++pass) {
        for (uint32_t y = 0; y < spec.height; ++y)
            png_write_row(png, spec.samples.data() + rowBytes * y);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool WriteJPEG(const QString& path, uint32_t width, uint32_t height, uint32_t components, const CodecBuffer& pixels,
               const std::vector<JPEGMarker>& markers)
{
    File file = OpenForWriting(path);
    if (!file)
        return false;
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file.get());
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = static_cast<int>(components);
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB
                                                                             : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    for (const JPEGMarker& marker : markers)
        jpeg_write_marker(&cinfo, marker.code, marker.data.data(), static_cast<unsigned>(marker.data.size()));
    const size_t rowBytes = size_t{width} * components;
    while (cinfo.next_scanline < height) {
        JSAMPROW row = const_cast<JSAMPLE*>(pixels.data() + rowBytes * cinfo.next_scanline);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

bool WriteTIFF(const QString& path, const std::vector<TIFFPage>& pages)
{
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tiff)
        return false;
    bool ok = true;
    for (const TIFFPage& page : pages) {
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, page.width);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, page.height);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, page.samples);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, page.height);
        if (page.samples == 4)
            TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &page.extraSampleKind);
        if (!page.iccProfile.empty())
            TIFFSetField(tiff, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(page.iccProfile.size()), page.iccProfile.data());
        if (page.withExifDirectory)
            TIFFSetField(tiff, TIFFTAG_EXIFIFD, uint64_t{0});
        const tmsize_t size = static_cast<tmsize_t>(page.pixels.size());
        ok = ok && TIFFWriteEncodedStrip(tiff, 0, const_cast<uint8_t*>(page.pixels.data()), size) == size;
        ok = ok && TIFFWriteDirectory(tiff);
    }
    TIFFClose(tiff);
    return ok;
}

CodecBuffer SRGBProfile()
{
    cmsHPROFILE profile = cmsCreate_sRGBProfile();
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    CodecBuffer bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

JPEGMarker ExifMarker(const CodecBuffer& payload)
{
    JPEGMarker marker{JPEG_APP0 + 1, {'E', 'x', 'i', 'f', 0, 0}};
    marker.data.insert(marker.data.end(), payload.begin(), payload.end());
    return marker;
}

JPEGMarker ICCMarker(int sequence, int count, const CodecBuffer& segment)
{
    const char signature[] = "ICC_PROFILE";
    JPEGMarker marker{JPEG_APP0 + 2, CodecBuffer(signature, signature + sizeof signature)};
    marker.data.push_back(static_cast<uint8_t>(sequence));
    marker.data.push_back(static_cast<uint8_t>(count));
    marker.data.insert(marker.data.end(), segment.begin(), segment.end());
    return marker;
}

} // namespace CodecTestImages
