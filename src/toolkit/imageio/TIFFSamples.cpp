#include "toolkit/imageio/TIFFSamples.h"

#include "toolkit/imageio/CMYKSamples.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

AlphaKind alphaOfExtraSamples(uint16_t count, const uint16_t* kinds)
{
    if (count == 0 || !kinds)
        return AlphaKind::None;
    if (kinds[0] == EXTRASAMPLE_ASSOCALPHA)
        return AlphaKind::PremultipliedLast;
    if (kinds[0] == EXTRASAMPLE_UNASSALPHA)
        return AlphaKind::Last;
    return AlphaKind::None;
}

bool takesColourModel(TIFFSampleLayout& layout, bool hasPhotometric, uint16_t photometric, int colourSamples, uint16_t inkSet)
{
    // A page without the tag (scientific files often leave it out) is grey or RGB by its sample count.
    if (!hasPhotometric)
        photometric = colourSamples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    if ((photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE) && colourSamples == 1) {
        layout.colorSpace = ColorSpaceModel::Grey;
        layout.minIsWhite = photometric == PHOTOMETRIC_MINISWHITE;
        return true;
    }
    if (photometric == PHOTOMETRIC_RGB && colourSamples == 3) {
        layout.colorSpace = ColorSpaceModel::RGB;
        return true;
    }
    if ((photometric == PHOTOMETRIC_CIELAB || photometric == PHOTOMETRIC_ICCLAB) && colourSamples == 3) {
        layout.colorSpace = ColorSpaceModel::RGB;
        layout.lab = true;
        layout.iccLab = photometric == PHOTOMETRIC_ICCLAB;
        return true;
    }
    if (photometric == PHOTOMETRIC_SEPARATED && colourSamples == 4 && inkSet == INKSET_CMYK) {
        layout.colorSpace = ColorSpaceModel::CMYK;
        return true;
    }
    return false;
}

QImage::Format targetFormat(const TIFFSampleLayout& layout)
{
    const bool alpha = layout.alpha != AlphaKind::None;
    const bool premultiplied = layout.alpha == AlphaKind::PremultipliedLast;
    if (alpha && layout.deep())
        return premultiplied ? QImage::Format_RGBA64_Premultiplied : QImage::Format_RGBA64;
    if (alpha)
        return premultiplied ? QImage::Format_RGBA8888_Premultiplied : QImage::Format_RGBA8888;
    if (layout.colorSpace == ColorSpaceModel::Grey)
        return layout.deep() ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8;
    return layout.deep() ? QImage::Format_RGBX64 : QImage::Format_RGB888;
}

// Where decoded samples go: an image's rows, or the inks, `channels` samples of `channelBytes` a pixel.
struct SampleTarget {
    uchar* base = nullptr;
    qsizetype bytesPerLine = 0;
    int channels = 0;
    int channelBytes = 1;
    bool greyAsRGB = false; // grey with alpha is kept as RGBA: its one sample goes to three channels
};

class SampleWriter {
public:
    SampleWriter(const TIFFSampleLayout& layout, const SampleTarget& target)
        : m_layout(layout)
        , m_target(target)
        , m_sampleBytes(layout.bitsPerSample / 8)
    {}

    // Whether rows of the chunk can be copied as they are: 8-bit samples already in the target's order.
    bool copiesRows(int samplesInChunk) const
    {
        return m_layout.bitsPerSample == 8 && !m_layout.minIsWhite && !m_target.greyAsRGB && m_target.channelBytes == 1
               && samplesInChunk == m_target.channels;
    }

    void copyRow(const uint8_t* source, uint32_t x, uint32_t y, uint32_t count) const
    {
        std::memcpy(m_target.base + y * m_target.bytesPerLine + static_cast<qsizetype>(x) * m_target.channels, source,
                    static_cast<std::size_t>(count) * m_target.channels);
    }

    void put(const uint8_t* source, uint32_t x, uint32_t y, int sample) const { putValue(read16(source), x, y, sample); }

    // A sample already on the 16-bit scale.
    void putValue(uint16_t value, uint32_t x, uint32_t y, int sample) const
    {
        const int colourSamples = m_layout.colourSamples();
        if (sample > colourSamples || (sample == colourSamples && m_layout.alpha == AlphaKind::None))
            return; // extra samples that are not alpha, and a CMYK page's alpha, are not kept
        if (m_layout.minIsWhite && sample < colourSamples)
            value = static_cast<uint16_t>(65535 - value);
        uchar* pixel = m_target.base + y * m_target.bytesPerLine + static_cast<qsizetype>(x) * m_target.channels * m_target.channelBytes;
        if (m_target.greyAsRGB && sample == 0) {
            for (int channel = 0; channel < 3; ++channel)
                write(pixel, channel, value);
        } else {
            write(pixel, m_target.greyAsRGB ? 3 : sample, value);
        }
    }

    int sampleBytes() const { return m_sampleBytes; }

private:
    // Any sample on the 16-bit scale; floating point from 0 to 1, clamped (NaN is 0).
    uint16_t read16(const uint8_t* source) const
    {
        if (m_layout.floatingPoint) {
            float value = 0;
            std::memcpy(&value, source, sizeof value);
            if (!(value > 0))
                return 0;
            return static_cast<uint16_t>(std::lround(std::min(value, 1.0F) * 65535.0F));
        }
        if (m_sampleBytes == 2) {
            uint16_t value = 0;
            std::memcpy(&value, source, sizeof value);
            return value;
        }
        return static_cast<uint16_t>(source[0] * 257);
    }

    void write(uchar* pixel, int channel, uint16_t value) const
    {
        if (m_target.channelBytes == 2)
            std::memcpy(pixel + channel * 2, &value, sizeof value);
        else
            pixel[channel] = static_cast<uchar>((value + 128) / 257);
    }

    const TIFFSampleLayout& m_layout;
    SampleTarget m_target;
    int m_sampleBytes;
};

// Samples of a few bits each, most significant bit first, scaled to 16 bits.
class PackedSamples {
public:
    PackedSamples(const uint8_t* row, int bits)
        : m_row(row)
        , m_bits(bits)
        , m_largest((1U << bits) - 1)
    {}

    uint16_t next16()
    {
        uint32_t value = 0;
        for (int i = 0; i < m_bits; ++i, ++m_bit)
            value = (value << 1) | ((m_row[m_bit / 8] >> (7 - m_bit % 8)) & 1U);
        return static_cast<uint16_t>((value * 65535U + m_largest / 2) / m_largest);
    }

private:
    const uint8_t* m_row;
    int m_bits;
    uint32_t m_largest;
    std::uint64_t m_bit = 0;
};

// Decodes every strip or tile of every plane and hands its samples to the writer.
bool readChunks(TIFF* tiff, const TIFFSampleLayout& layout, const SampleWriter& writer)
{
    const bool tiled = TIFFIsTiled(tiff) != 0;
    uint32_t chunkWidth = layout.width;
    uint32_t chunkHeight = layout.height;
    if (tiled) {
        TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &chunkWidth);
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &chunkHeight);
    } else {
        TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &chunkHeight);
    }
    chunkHeight = std::min(chunkHeight, layout.height);
    if (chunkWidth == 0 || chunkHeight == 0)
        return false;
    const tmsize_t chunkSize = tiled ? TIFFTileSize(tiff) : TIFFStripSize(tiff);
    const int planes = layout.separatePlanes ? layout.samplesPerPixel : 1;
    const int samplesInChunk = layout.separatePlanes ? 1 : layout.samplesPerPixel;
    // Samples of other than 8, 16 or 32 bits are packed, each row starting on a byte.
    const int bits = layout.bitsPerSample;
    const bool packed = bits % 8 != 0;
    const auto rowBytesOf = [&](std::uint64_t pixels) { return (pixels * samplesInChunk * bits + 7) / 8; };
    const std::uint64_t chunkRowBytes = rowBytesOf(chunkWidth);
    if (chunkSize <= 0 || static_cast<std::uint64_t>(chunkSize) < chunkRowBytes)
        return false;
    // Left unfilled: a strip whose data is missing fails before its memory is ever touched.
    const auto buffer = std::make_unique_for_overwrite<uint8_t[]>(static_cast<std::size_t>(chunkSize));
    uint8_t* const chunkData = buffer.get();
    const bool copies = writer.copiesRows(samplesInChunk);
    for (int plane = 0; plane < planes; ++plane) {
        for (uint32_t top = 0; top < layout.height; top += chunkHeight) {
            for (uint32_t left = 0; left < layout.width; left += chunkWidth) {
                const auto number = static_cast<uint16_t>(plane);
                const tmsize_t read = tiled ? TIFFReadEncodedTile(tiff, TIFFComputeTile(tiff, left, top, 0, number), chunkData, chunkSize)
                                            : TIFFReadEncodedStrip(tiff, TIFFComputeStrip(tiff, top, number), chunkData, chunkSize);
                const uint32_t rows = std::min(chunkHeight, layout.height - top);
                const uint32_t columns = std::min(chunkWidth, layout.width - left);
                if (read < 0 || static_cast<std::uint64_t>(read) < (rows - 1) * chunkRowBytes + rowBytesOf(columns))
                    return false;
                for (uint32_t row = 0; row < rows; ++row) {
                    const uint8_t* source = chunkData + row * chunkRowBytes;
                    if (copies) {
                        writer.copyRow(source, left, top + row, columns);
                        continue;
                    }
                    if (packed) {
                        PackedSamples samples(source, bits);
                        for (uint32_t column = 0; column < columns; ++column) {
                            for (int sample = 0; sample < samplesInChunk; ++sample)
                                writer.putValue(samples.next16(), left + column, top + row, layout.separatePlanes ? plane : sample);
                        }
                        continue;
                    }
                    for (uint32_t column = 0; column < columns; ++column) {
                        for (int sample = 0; sample < samplesInChunk; ++sample, source += writer.sampleBytes())
                            writer.put(source, left + column, top + row, layout.separatePlanes ? plane : sample);
                    }
                }
            }
        }
    }
    return true;
}

struct ProfileClose {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};

struct TransformDelete {
    void operator()(void* transform) const { cmsDeleteTransform(transform); }
};

// L*a*b* samples, as read into RGB888 pixels, turned into sRGB in place: L*a*b* relative to D50, the
// profile connection space's white, as Photoshop and the ICC write it. TIFF's a and b are signed; ICC's
// are offset by 128, as lcms's 8-bit L*a*b* is.
bool labToSRGB(QImage& pixels, bool iccLab)
{
    std::unique_ptr<void, ProfileClose> lab(cmsCreateLab4Profile(nullptr));
    std::unique_ptr<void, ProfileClose> srgb(cmsCreate_sRGBProfile());
    if (!lab || !srgb)
        return false;
    std::unique_ptr<void, TransformDelete> transform(
        cmsCreateTransform(lab.get(), TYPE_Lab_8, srgb.get(), TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC, 0));
    if (!transform)
        return false;
    for (int y = 0; y < pixels.height(); ++y) {
        uchar* row = pixels.scanLine(y);
        if (!iccLab) {
            for (int x = 0; x < pixels.width(); ++x) {
                row[x * 3 + 1] ^= 0x80;
                row[x * 3 + 2] ^= 0x80;
            }
        }
        cmsDoTransform(transform.get(), row, row, static_cast<cmsUInt32Number>(pixels.width()));
    }
    return true;
}

} // namespace

std::uint64_t TIFFSampleLayout::keptBytesPerPixel() const
{
    if (colorSpace == ColorSpaceModel::CMYK)
        return 4 + 4;
    const std::uint64_t channels = alpha != AlphaKind::None ? 4 : colorSpace == ColorSpaceModel::Grey ? 1
                                                              : deep()                                ? 4
                                                                                                      : 3;
    return channels * (deep() ? 2 : 1);
}

std::optional<TIFFSampleLayout> TIFFSampleLayoutOf(TIFF* tiff)
{
    TIFFSampleLayout layout;
    uint16_t photometric = 0, samples = 1, bits = 1, format = SAMPLEFORMAT_UINT, planar = PLANARCONFIG_CONTIG;
    uint16_t inkSet = INKSET_CMYK, compression = COMPRESSION_NONE, extraCount = 0;
    uint16_t* extraKinds = nullptr;
    const bool hasPhotometric = TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric) != 0;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_INKSET, &inkSet);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extraKinds);
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout.width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout.height);
    const int colourSamples = samples - extraCount;
    if (extraCount > samples || !takesColourModel(layout, hasPhotometric, photometric, colourSamples, inkSet))
        return std::nullopt;
    // 1, 2 and 4 bits stay with the RGBA conversion, which knows their palettes and bilevel pictures.
    const bool integer = format == SAMPLEFORMAT_UINT && (bits == 8 || (bits >= 9 && bits <= 16));
    const bool floating = format == SAMPLEFORMAT_IEEEFP && bits == 32;
    if (!(integer || floating) || compression == COMPRESSION_OJPEG || !TIFFIsCODECConfigured(compression))
        return std::nullopt;
    layout.samplesPerPixel = samples;
    layout.bitsPerSample = bits;
    layout.floatingPoint = floating;
    layout.separatePlanes = planar == PLANARCONFIG_SEPARATE;
    layout.alpha = alphaOfExtraSamples(extraCount, extraKinds);
    // An 8-bit CMYK page with alpha keeps its alpha through the RGBA conversion instead of its inks.
    if (layout.colorSpace == ColorSpaceModel::CMYK && bits == 8 && extraCount > 0)
        return std::nullopt;
    if (layout.colorSpace == ColorSpaceModel::CMYK)
        layout.alpha = AlphaKind::None;
    // L*a*b* is read at 8 bits without alpha; other such pages keep libtiff's conversion.
    if (layout.lab && (bits != 8 || extraCount > 0))
        return std::nullopt;
    return layout;
}

QImage ReadTIFFSamples(TIFF* tiff, const TIFFSampleLayout& layout, QByteArray& inks)
{
    const auto width = static_cast<int>(layout.width);
    const auto height = static_cast<int>(layout.height);
    SampleTarget target;
    QImage pixels;
    if (layout.colorSpace == ColorSpaceModel::CMYK) {
        inks = QByteArray(static_cast<qsizetype>(width) * height * 4, Qt::Uninitialized);
        target = {reinterpret_cast<uchar*>(inks.data()), static_cast<qsizetype>(width) * 4, 4, 1, false};
    } else {
        pixels = QImage(width, height, targetFormat(layout));
        if (pixels.isNull())
            return {};
        if (pixels.format() == QImage::Format_RGBX64)
            pixels.fill(Qt::white); // the padding sample of every pixel is opaque
        const bool greyAsRGB = layout.colorSpace == ColorSpaceModel::Grey && layout.alpha != AlphaKind::None;
        const int channels = greyAsRGB || layout.alpha != AlphaKind::None || pixels.format() == QImage::Format_RGBX64 ? 4
                             : layout.colorSpace == ColorSpaceModel::Grey                                             ? 1
                                                                                                                      : 3;
        target = {pixels.bits(), pixels.bytesPerLine(), channels, layout.deep() ? 2 : 1, greyAsRGB};
    }
    if (!readChunks(tiff, layout, SampleWriter(layout, target))) {
        inks.clear();
        return {};
    }
    if (layout.colorSpace == ColorSpaceModel::CMYK)
        return RGBImageFromCMYK(inks, width, height);
    if (layout.lab && !labToSRGB(pixels, layout.iccLab))
        return {};
    return pixels;
}
