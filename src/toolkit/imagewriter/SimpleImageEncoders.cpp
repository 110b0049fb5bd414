#include "toolkit/imagewriter/ImageEncoder.h"

// TGA and SGI files of our own: uncompressed, 8 bits a sample, the forms every reader of them takes.

namespace {

void PutLittle16(QByteArray& out, int value)
{
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

void PutBig16(QByteArray& out, int value)
{
    out.append(static_cast<char>((value >> 8) & 0xFF));
    out.append(static_cast<char>(value & 0xFF));
}

void PutBig32(QByteArray& out, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((value >> shift) & 0xFF));
}

bool FitsSixteenBits(const QImage& pixels)
{
    return !pixels.isNull() && pixels.width() <= 0xFFFF && pixels.height() <= 0xFFFF;
}

} // namespace

bool EncodeTGAImage(const BitmapImageRep& image, QByteArray& out)
{
    const QImage& pixels = image.image();
    if (!FitsSixteenBits(pixels))
        return false;
    const bool alpha = pixels.hasAlphaChannel();
    const QImage rgba = pixels.convertToFormat(QImage::Format_RGBA8888);
    out.clear();
    out.append(char(0));    // no identification field
    out.append(char(0));    // no colour map
    out.append(char(2));    // true colour, uncompressed
    out.append(5, char(0)); // colour map fields (none)
    PutLittle16(out, 0);
    PutLittle16(out, 0);
    PutLittle16(out, pixels.width());
    PutLittle16(out, pixels.height());
    out.append(static_cast<char>(alpha ? 32 : 24));
    out.append(static_cast<char>(0x20 | (alpha ? 8 : 0))); // top row first; alpha bits
    const int samples = alpha ? 4 : 3;
    QByteArray row(pixels.width() * samples, Qt::Uninitialized);
    for (int y = 0; y < rgba.height(); ++y) {
        const uchar* in = rgba.constScanLine(y);
        char* o = row.data();
        for (int x = 0; x < rgba.width(); ++x, in += 4, o += samples) {
            o[0] = static_cast<char>(in[2]);
            o[1] = static_cast<char>(in[1]);
            o[2] = static_cast<char>(in[0]);
            if (alpha)
                o[3] = static_cast<char>(in[3]);
        }
        out.append(row);
    }
    return true;
}

bool EncodeSGIImage(const BitmapImageRep& image, QByteArray& out)
{
    const QImage& pixels = image.image();
    if (!FitsSixteenBits(pixels))
        return false;
    const int channels = pixels.hasAlphaChannel() ? 4 : 3;
    const QImage rgba = pixels.convertToFormat(QImage::Format_RGBA8888);
    out.clear();
    PutBig16(out, 474);  // magic
    out.append(char(0)); // verbatim
    out.append(char(1)); // one byte a sample
    PutBig16(out, 3);    // dimensions
    PutBig16(out, pixels.width());
    PutBig16(out, pixels.height());
    PutBig16(out, channels);
    PutBig32(out, 0);   // minimum
    PutBig32(out, 255); // maximum
    out.append(4, char(0));
    out.append(80, char(0)); // name
    PutBig32(out, 0);        // normal colour map
    out.append(404, char(0));
    // Channel planes, each bottom row first.
    for (int channel = 0; channel < channels; ++channel) {
        for (int y = rgba.height() - 1; y >= 0; --y) {
            const uchar* in = rgba.constScanLine(y);
            for (int x = 0; x < rgba.width(); ++x)
                out.append(static_cast<char>(in[x * 4 + channel]));
        }
    }
    return true;
}
