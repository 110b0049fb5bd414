#include "toolkit/pdf/PDFSampleConversion.h"

#include "toolkit/pdf/PDFColorSpace.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// What a sample value of the given depth becomes as a byte.
uint8_t ExpandedValue(uint32_t value, int bits, bool invert)
{
    switch (bits) {
    case 1: return (value != 0) != invert ? 255 : 0;
    case 2: return static_cast<uint8_t>(value * 85);
    case 4: return static_cast<uint8_t>(value * 17);
    default: return static_cast<uint8_t>(value >> 8);
    }
}

uint8_t ClampToByte(double value)
{
    if (!(value > 0.0))
        return 0;
    return value >= 255.0 ? 255 : static_cast<uint8_t>(value);
}

} // namespace

std::optional<QByteArray> ExpandSamplesTo8Bit(const QByteArray& data, int bitsPerComponent,
                                              const std::vector<double>& decode, int64_t width,
                                              int componentCount)
{
    const int bits = bitsPerComponent;
    if ((bits != 1 && bits != 2 && bits != 4 && bits != 16) || width <= 0 || componentCount <= 0)
        return std::nullopt;
    if (width > (int64_t(1) << 32) / componentCount)
        return std::nullopt;
    const int64_t rowSamples = width * componentCount;
    const int64_t rowBytes = (rowSamples * bits + 7) / 8;
    int64_t rows = data.size() / rowBytes;
    if (rows == 0)
        return std::nullopt;
    if (data.size() % rowBytes != 0)
        ++rows;
    const bool invert = bits == 1 && decode.size() == 2 && decode[0] == 1.0 && decode[1] == 0.0;
    QByteArray result(static_cast<qsizetype>(rows * rowSamples), Qt::Uninitialized);
    const auto* in = reinterpret_cast<const uint8_t*>(data.constData());
    const int64_t available = data.size();
    auto* out = reinterpret_cast<uint8_t*>(result.data());
    const uint32_t mask = (uint32_t(1) << bits) - 1;
    for (int64_t row = 0; row < rows; ++row) {
        const int64_t rowStart = row * rowBytes;
        for (int64_t sample = 0; sample < rowSamples; ++sample) {
            const int64_t bit = sample * bits;
            const int64_t at = rowStart + bit / 8;
            uint32_t value = 0;
            if (bits == 16)
                value = at + 1 < available ? (uint32_t(in[at]) << 8) | in[at + 1] : 0;
            else if (at < available)
                value = (uint32_t(in[at]) >> (8 - bits - bit % 8)) & mask;
            *out++ = ExpandedValue(value, bits, invert);
        }
    }
    return result;
}

std::optional<QByteArray> ApplyDecodeArray(const QByteArray& data, int declaredBits,
                                           const std::vector<double>& decode, bool indexed,
                                           const std::vector<double>& ranges)
{
    if (decode.size() < 2 || declaredBits < 1 || declaredBits > 16)
        return std::nullopt;
    const size_t pairs = decode.size() / 2;
    const double maximum = std::ldexp(1.0, std::min(declaredBits, 8)) - 1.0;
    QByteArray result(data.size(), Qt::Uninitialized);
    const auto* in = reinterpret_cast<const uint8_t*>(data.constData());
    auto* out = reinterpret_cast<uint8_t*>(result.data());
    for (qsizetype i = 0; i < data.size(); ++i) {
        const size_t pair = 2 * (static_cast<size_t>(i) % pairs);
        const double d0 = decode[pair];
        const double d1 = decode[pair + 1];
        const double fraction = in[i] / 255.0;
        if (!indexed) {
            // The decoded value, then its place in the component's range as the byte stands for it.
            const double r0 = pair + 1 < ranges.size() ? ranges[pair] : 0.0;
            const double r1 = pair + 1 < ranges.size() ? ranges[pair + 1] : 1.0;
            const double value = d0 + fraction * (d1 - d0);
            out[i] = r1 == r0 ? 0 : ClampToByte(std::round((value - r0) / (r1 - r0) * 255.0));
            continue;
        }
        // The sample value, then the index the pair gives it, truncated as an index is.
        const double value = std::round(fraction * maximum);
        const double index = std::trunc(d0 + value * (d1 - d0) / maximum);
        const double limit = declaredBits >= 8 ? 255.0 : maximum;
        const double clamped = std::clamp(std::isnan(index) ? 0.0 : index, 0.0, limit);
        out[i] = static_cast<uint8_t>(declaredBits >= 8 ? clamped : clamped * (255.0 / maximum));
    }
    return result;
}

std::optional<QByteArray> ExpandIndexedSamples(const PDFColorSpace& indexed, int declaredDepth,
                                               const QByteArray& data)
{
    if (indexed.model() != PDFColorSpace::Model::Indexed || !indexed.base() || indexed.colorTable().isEmpty())
        return std::nullopt;
    if (declaredDepth != 1 && declaredDepth != 2 && declaredDepth != 4 && declaredDepth != 8)
        return std::nullopt;
    const int components = indexed.base()->componentCount();
    const QByteArray& table = indexed.colorTable();
    if (table.size() < static_cast<qsizetype>(indexed.hival() + 1) * components)
        return std::nullopt;
    QByteArray result(data.size() * components, Qt::Uninitialized);
    const auto* in = reinterpret_cast<const uint8_t*>(data.constData());
    auto* out = result.data();
    for (qsizetype i = 0; i < data.size(); ++i, out += components) {
        int index = in[i];
        if (declaredDepth == 1)
            index = in[i] > 254 ? 1 : 0;
        else if (declaredDepth == 2)
            index = in[i] / 85;
        else if (declaredDepth == 4)
            index = in[i] / 17;
        index = std::min(index, indexed.hival());
        std::memcpy(out, table.constData() + static_cast<qsizetype>(index) * components,
                    static_cast<size_t>(components));
    }
    return result;
}
