#include "toolkit/imagewriter/ImageEncoder.h"

#include <ImfIO.h>
#include <ImfRgbaFile.h>
#include <Iex.h>

#include <cmath>
#include <cstring>
#include <vector>

// OpenEXR holds linear light in half floats: the sRGB samples are taken off their curve.

namespace {

class MemoryOutput : public Imf::OStream {
public:
    MemoryOutput()
        : Imf::OStream("memory")
    {}
    void write(const char c[], int n) override
    {
        const qsizetype end = m_position + n;
        if (end > m_bytes.size())
            m_bytes.resize(end);
        std::memcpy(m_bytes.data() + m_position, c, static_cast<size_t>(n));
        m_position = end;
    }
    uint64_t tellp() override { return static_cast<uint64_t>(m_position); }
    void seekp(uint64_t position) override { m_position = static_cast<qsizetype>(position); }
    QByteArray take() { return std::move(m_bytes); }

private:
    QByteArray m_bytes;
    qsizetype m_position = 0;
};

float Linear(int sample)
{
    const float value = static_cast<float>(sample) / 255.0F;
    return value <= 0.04045F ? value / 12.92F : std::pow((value + 0.055F) / 1.055F, 2.4F);
}

} // namespace

bool EncodeOpenEXRImage(const BitmapImageRep& image, QByteArray& out)
{
    const QImage rgba = image.image().convertToFormat(QImage::Format_RGBA8888);
    if (rgba.isNull())
        return false;
    const int width = rgba.width();
    const int height = rgba.height();
    float table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = Linear(i);
    std::vector<Imf::Rgba> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const uchar* row = rgba.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            const uchar* p = row + x * 4;
            const float alpha = p[3] / 255.0F;
            // OpenEXR colours are premultiplied by their alpha.
            pixels[static_cast<size_t>(y) * width + x] = Imf::Rgba(table[p[0]] * alpha, table[p[1]] * alpha, table[p[2]] * alpha, alpha);
        }
    }
    try {
        MemoryOutput stream;
        {
            Imf::RgbaOutputFile file(stream, Imf::Header(width, height), image.image().hasAlphaChannel() ? Imf::WRITE_RGBA : Imf::WRITE_RGB);
            file.setFrameBuffer(pixels.data(), 1, static_cast<size_t>(width));
            file.writePixels(height);
        }
        out = stream.take();
    } catch (const std::exception&) {
        return false;
    }
    return !out.isEmpty();
}
