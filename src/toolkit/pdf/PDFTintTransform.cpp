#include "toolkit/pdf/PDFTintTransform.h"

#include "toolkit/pdf/PDFColorSpaceBuilder.h"
#include "toolkit/pdf/PDFFunction.h"

#include <Object.h>
#include <Array.h>

#include <array>
#include <optional>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

uint8_t ToByte(double value)
{
    if (!(value > 0.0))
        return 0;
    if (value >= 1.0)
        return 255;
    return static_cast<uint8_t>(std::lround(value * 255.0));
}

// Runs the function on one pixel's bytes and writes its outputs as bytes.
class TintFunction {
public:
    TintFunction(PDFFunction& function, int inputs)
        : m_function(function)
        , m_inputs(inputs)
    {
        // Exponential and stitching functions take one input: the pixel's last component.
        const int32_t type = function.functionType();
        m_lastOnly = type == PDFFunction::Exponential || type == PDFFunction::Stitching;
    }

    int keyBytes() const { return m_lastOnly ? 1 : m_inputs; }
    const uint8_t* keyStart(const uint8_t* pixel) const { return m_lastOnly ? pixel + m_inputs - 1 : pixel; }

    void run(const uint8_t* key, uint8_t* out)
    {
        const int count = keyBytes();
        for (int i = 0; i < count; ++i)
            m_values[static_cast<size_t>(i)] = key[i] / 255.0;
        m_function.Evaluate(m_values.data(), count);
        const double* outputs = m_function.outputs();
        for (int j = 0; j < m_function.outputCount(); ++j)
            out[j] = ToByte(outputs[j]);
    }

private:
    PDFFunction& m_function;
    int m_inputs;
    bool m_lastOnly = false;
    std::array<double, PDFFunction::kMaxInputs> m_values{};
};

// Results for pixel values seen before: a full table for keys of one or two bytes (256 or 65536
// entries, filled on first use), a direct-mapped cache for longer keys. A sampled function of many
// inputs costs far more per evaluation than a lookup, so every key length is cached.
class TintCache {
public:
    TintCache(int keyBytes, int outputs)
        : m_keyBytes(keyBytes)
        , m_outputs(outputs)
    {
        m_entries = keyBytes <= 2 ? (size_t(1) << (8 * keyBytes)) : kHashedEntries;
        m_filled.assign(m_entries, 0);
        m_keys.assign(keyBytes <= 2 ? 0 : m_entries * static_cast<size_t>(keyBytes), 0);
        m_values.assign(m_entries * static_cast<size_t>(outputs), 0);
    }

    // The cached outputs for the key, running the function on a miss.
    const uint8_t* lookup(const uint8_t* key, TintFunction& function)
    {
        const size_t slot = Slot(key);
        uint8_t* values = m_values.data() + slot * static_cast<size_t>(m_outputs);
        uint8_t* storedKey = m_keyBytes <= 2 ? nullptr : m_keys.data() + slot * static_cast<size_t>(m_keyBytes);
        const bool hit = m_filled[slot] && (!storedKey || std::memcmp(storedKey, key, static_cast<size_t>(m_keyBytes)) == 0);
        if (!hit) {
            function.run(key, values);
            m_filled[slot] = 1;
            if (storedKey)
                std::memcpy(storedKey, key, static_cast<size_t>(m_keyBytes));
        }
        return values;
    }

private:
    size_t Slot(const uint8_t* key) const
    {
        if (m_keyBytes == 1)
            return key[0];
        if (m_keyBytes == 2)
            return (size_t(key[0]) << 8) | key[1];
        uint64_t hash = 0xcbf29ce484222325ull;
        for (int i = 0; i < m_keyBytes; ++i)
            hash = (hash ^ key[i]) * 0x100000001b3ull;
        return static_cast<size_t>((hash * 0x9E3779B97F4A7C15ull) >> 48) & (m_entries - 1);
    }

    static constexpr size_t kHashedEntries = size_t(1) << 16;
    int m_keyBytes;
    int m_outputs;
    size_t m_entries = 0;
    std::vector<uint8_t> m_filled;
    std::vector<uint8_t> m_keys;
    std::vector<uint8_t> m_values;
};

// The component count of the alternate space (element 2), or 0 when it cannot be built.
int AlternateComponents(const Array& colorSpace)
{
    if (colorSpace.getLength() < 3)
        return 0;
    const Object alternate = colorSpace.get(2);
    int count = 0;
    if (alternate.isArray()) {
        ColorSpaceKind kind = ColorSpaceKind::None;
        PDFColorSpaceDetail::BuildFromArray(*alternate.getArray(), kind, count, 1);
    } else if (alternate.isName()) {
        CreateColorSpaceFromName(alternate.getName(), count);
    }
    return count;
}

} // namespace

int DeviceNColorantCount(const Array& colorSpace)
{
    if (colorSpace.getLength() < 2)
        return 1;
    const Object names = colorSpace.get(1);
    return names.isArray() ? names.getArray()->getLength() : 1;
}

namespace PDFTintTransformDetail {

std::optional<QByteArray> TintTransform(const Array& colorSpace, const QByteArray& data, int inputsPerPixel,
                                        int expectedOutputs, TintEvaluation evaluation, const TintCancel& cancel)
{
    if (inputsPerPixel <= 0 || inputsPerPixel > PDFFunction::kMaxInputs || colorSpace.getLength() < 4)
        return std::nullopt;
    const std::unique_ptr<PDFFunction> function = LoadPDFFunction(colorSpace.get(3));
    if (!function || !function->isUsable())
        return std::nullopt;
    const int outputs = function->outputCount();
    if (expectedOutputs > 0 && outputs != expectedOutputs)
        return std::nullopt;
    const qsizetype pixels = data.size() / inputsPerPixel;
    QByteArray result(pixels * outputs, Qt::Uninitialized);
    const auto* in = reinterpret_cast<const uint8_t*>(data.constData());
    auto* out = reinterpret_cast<uint8_t*>(result.data());
    TintFunction tint(*function, inputsPerPixel);
    std::optional<TintCache> cache;
    if (evaluation == TintEvaluation::Cached)
        cache.emplace(tint.keyBytes(), outputs);
    const qsizetype row = cancel.rowPixels > 0 ? cancel.rowPixels : pixels;
    for (qsizetype p = 0; p < pixels; ++p, in += inputsPerPixel, out += outputs) {
        if (p % row == 0 && cancel.cancelled && cancel.cancelled())
            return std::nullopt;
        if (cache)
            std::memcpy(out, cache->lookup(tint.keyStart(in), tint), static_cast<size_t>(outputs));
        else
            tint.run(tint.keyStart(in), out);
    }
    return result;
}

} // namespace PDFTintTransformDetail

std::optional<QByteArray> ApplySeparationTintTransform(const Array& colorSpace, const QByteArray& data,
                                                       TintEvaluation evaluation, const TintCancel& cancel)
{
    return PDFTintTransformDetail::TintTransform(colorSpace, data, 1, AlternateComponents(colorSpace), evaluation,
                                                 cancel);
}

std::optional<QByteArray> ApplyDeviceNTintTransform(const Array& colorSpace, const QByteArray& data,
                                                    TintEvaluation evaluation, const TintCancel& cancel)
{
    const int colorants = DeviceNColorantCount(colorSpace);
    if (colorants == 0)
        return std::nullopt;
    return PDFTintTransformDetail::TintTransform(colorSpace, data, colorants, AlternateComponents(colorSpace),
                                                 evaluation, cancel);
}
