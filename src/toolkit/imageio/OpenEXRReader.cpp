#include "toolkit/imageio/ImageReaders.h"
#include "toolkit/imageio/SourceLimits.h"

#include <ImfArray.h>
#include <ImfIO.h>
#include <ImfRgbaFile.h>
#include <Iex.h>

#include <algorithm>
#include <cmath>
#include <cstring>

// OpenEXR pictures hold linear light in half floats; the representation keeps them as 16-bit samples in
// the sRGB curve, alpha straight, so that they draw as they look.
namespace {

class MemoryStream : public Imf::IStream {
public:
    explicit MemoryStream(const QByteArray& bytes)
        : Imf::IStream("memory")
        , m_bytes(bytes)
    {}

    bool read(char c[], int n) override
    {
        if (n < 0 || m_position > static_cast<std::uint64_t>(m_bytes.size())
            || static_cast<std::uint64_t>(n) > static_cast<std::uint64_t>(m_bytes.size()) - m_position)
            throw Iex::InputExc("Unexpected end of file.");
        std::memcpy(c, m_bytes.constData() + m_position, static_cast<std::size_t>(n));
        m_position += static_cast<std::uint64_t>(n);
        return m_position < static_cast<std::uint64_t>(m_bytes.size());
    }
    uint64_t tellg() override { return m_position; }
    void seekg(uint64_t position) override { m_position = position; }

private:
    const QByteArray& m_bytes;
    std::uint64_t m_position = 0;
};

quint16 encoded(float linear)
{
    if (!(linear > 0)) // also NaN
        return 0;
    const float value = linear <= 0.0031308f ? linear * 12.92f : 1.055f * std::pow(linear, 1.0f / 2.4f) - 0.055f;
    return static_cast<quint16>(std::clamp(value, 0.0f, 1.0f) * 65535.0f + 0.5f);
}

quint16 straight(float value)
{
    return value > 0 ? static_cast<quint16>(std::clamp(value, 0.0f, 1.0f) * 65535.0f + 0.5f) : 0;
}

} // namespace

ImageRepList ReadOpenEXRRepresentations(const QByteArray& bytes)
{
    if (bytes.size() < 8 || std::memcmp(bytes.constData(), "\x76\x2f\x31\x01", 4) != 0)
        return {};
    try {
        MemoryStream stream(bytes);
        Imf::RgbaInputFile file(stream, 1);
        const Imath::Box2i window = file.dataWindow();
        const std::int64_t width = static_cast<std::int64_t>(window.max.x) - window.min.x + 1;
        const std::int64_t height = static_cast<std::int64_t>(window.max.y) - window.min.y + 1;
        // Eight bytes a pixel as halves while reading, eight again as the kept samples.
        if (width <= 0 || height <= 0 || !FitsSourceBound("OpenEXR", static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), 16))
            return {};
        Imf::Array2D<Imf::Rgba> samples(height, width);
        file.setFrameBuffer(&samples[0][0] - window.min.x - window.min.y * width, 1, static_cast<std::size_t>(width));
        file.readPixels(window.min.y, window.max.y);
        const bool alpha = (file.channels() & Imf::WRITE_A) != 0;
        QImage pixels(static_cast<int>(width), static_cast<int>(height), alpha ? QImage::Format_RGBA64 : QImage::Format_RGBX64);
        if (pixels.isNull())
            return {};
        for (int y = 0; y < pixels.height(); ++y) {
            auto* row = reinterpret_cast<quint16*>(pixels.scanLine(y));
            for (int x = 0; x < pixels.width(); ++x) {
                const Imf::Rgba& sample = samples[y][x];
                // Half-float samples are premultiplied by their alpha; the kept samples are straight.
                const float a = alpha ? static_cast<float>(sample.a) : 1.0f;
                const float divide = a > 0 ? a : 1.0f;
                row[x * 4 + 0] = encoded(static_cast<float>(sample.r) / divide);
                row[x * 4 + 1] = encoded(static_cast<float>(sample.g) / divide);
                row[x * 4 + 2] = encoded(static_cast<float>(sample.b) / divide);
                row[x * 4 + 3] = alpha ? straight(a) : 65535;
            }
        }
        BitmapImageRep::Description description;
        description.bitsPerComponent = 16;
        description.alphaKind = alpha ? AlphaKind::Last : AlphaKind::None;
        return {std::make_shared<BitmapImageRep>(std::move(pixels), std::move(description))};
    } catch (const std::exception&) {
        return {};
    }
}
