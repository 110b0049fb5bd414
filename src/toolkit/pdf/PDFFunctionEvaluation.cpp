#include "toolkit/pdf/CalculatorStack.h"
#include "toolkit/pdf/PDFFunction.h"
#include "toolkit/pdf/PostScriptCalculator.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

double Clip(double value, double low, double high)
{
    return std::min(std::max(value, low), high);
}

} // namespace

bool PDFFunction::Evaluate(const double* inputs, int count)
{
    if (!m_usable)
        return false;
    const double first = count > 0 ? inputs[0] : 0.0;
    switch (m_functionType) {
    case Sampled: EvaluateSampled(inputs, count); break;
    case Exponential: EvaluateExponential(first); break;
    case Stitching: EvaluateStitching(first); break;
    case Calculator: EvaluateCalculator(inputs, count); break;
    default: return false;
    }
    return true;
}

// NaN is never handed on: it becomes 0 before the Range applies.
double PDFFunction::ClipToRange(double value, int output) const
{
    if (std::isnan(value))
        value = 0.0;
    const size_t pair = 2 * static_cast<size_t>(output);
    if (!m_hasRange || m_range.size() < pair + 2)
        return value;
    return Clip(value, m_range[pair], m_range[pair + 1]);
}

void PDFFunction::SetClippedZeros()
{
    for (int j = 0; j < m_outputCount; ++j)
        m_outputs[static_cast<size_t>(j)] = ClipToRange(0.0, j);
}

// Samples are addressed by bit position, so that 1, 2, 4 and 12-bit samples read as the standard
// packs them; loading made sure every position evaluation asks for lies inside the data.
uint32_t PDFFunction::ReadSample(uint64_t sampleIndex) const
{
    const uint64_t bit = sampleIndex * static_cast<uint64_t>(m_bitsPerSample);
    const uint8_t* byte = m_samples.data() + (bit >> 3);
    if (m_bitsPerSample == 8)
        return byte[0];
    if (m_bitsPerSample == 16)
        return (uint32_t(byte[0]) << 8) | byte[1];
    const int shift = static_cast<int>(bit & 7);
    const int byteCount = (shift + m_bitsPerSample + 7) / 8;
    uint64_t gathered = 0;
    for (int i = 0; i < byteCount; ++i)
        gathered = (gathered << 8) | byte[i];
    const uint64_t mask = (uint64_t(1) << m_bitsPerSample) - 1;
    return static_cast<uint32_t>((gathered >> (byteCount * 8 - shift - m_bitsPerSample)) & mask);
}

// Multilinear interpolation between the samples around the input (ISO 32000, 7.10.2); inputs the
// caller does not give are taken at the low end of their Domain.
void PDFFunction::EvaluateSampled(const double* inputs, int count)
{
    if (!m_usable || m_functionType != Sampled)
        return;
    const int m = static_cast<int>(m_domain.size() / 2);
    std::array<uint64_t, kMaxInputs> lower{};
    std::array<uint64_t, kMaxInputs> strides{};
    std::array<double, kMaxInputs> fractions{};
    std::array<int, kMaxInputs> branching{};
    int branchCount = 0;
    uint64_t base = 0;
    uint64_t stride = 1;
    for (int i = 0; i < m; ++i) {
        const size_t pair = 2 * static_cast<size_t>(i);
        const double d0 = m_domain[pair];
        const double d1 = m_domain[pair + 1];
        const double size = m_size[static_cast<size_t>(i)];
        const bool hasEncode = m_encode.size() >= pair + 2;
        const double e0 = hasEncode ? m_encode[pair] : 0.0;
        const double e1 = hasEncode ? m_encode[pair + 1] : size - 1;
        double x = i < count ? inputs[i] : d0;
        double e = 0.0;
        if (d1 != d0) {
            x = Clip(x, d0, d1);
            e = (x - d0) * (e1 - e0) / (d1 - d0) + e0;
        }
        e = (e >= 0.0) ? std::min(e, size - 1) : 0.0;
        const double whole = std::floor(e);
        const uint64_t index = static_cast<uint64_t>(whole);
        base += index * stride;
        strides[static_cast<size_t>(i)] = stride;
        lower[static_cast<size_t>(i)] = index;
        fractions[static_cast<size_t>(i)] = e - whole;
        if (e - whole > 0.0)
            branching[static_cast<size_t>(branchCount++)] = i;
        stride *= static_cast<uint64_t>(size);
    }
    const int n = m_outputCount;
    for (int j = 0; j < n; ++j)
        m_outputs[static_cast<size_t>(j)] = 0.0;
    if (branchCount > kMaxMultilinearInputs) {
        InterpolateSimplex(base, branching.data(), branchCount, fractions.data(), strides.data());
    } else {
        InterpolateMultilinear(base, branching.data(), branchCount, fractions.data(), strides.data());
    }
    DecodeOutputs();
}

// The 2^k corners of the cell around the input, each weighted by its share of the cell.
void PDFFunction::InterpolateMultilinear(uint64_t base, const int* branching, int branchCount, const double* fractions,
                                         const uint64_t* strides)
{
    const int n = m_outputCount;
    const uint64_t corners = uint64_t(1) << branchCount;
    for (uint64_t corner = 0; corner < corners; ++corner) {
        double weight = 1.0;
        uint64_t offset = base;
        for (int b = 0; b < branchCount; ++b) {
            const size_t i = static_cast<size_t>(branching[b]);
            const bool upper = (corner >> b) & 1;
            weight *= upper ? fractions[i] : 1.0 - fractions[i];
            offset += upper ? strides[i] : 0;
        }
        for (int j = 0; j < n; ++j)
            m_outputs[static_cast<size_t>(j)] += weight * ReadSample(offset * static_cast<uint64_t>(n) + static_cast<uint64_t>(j));
    }
}

// The k + 1 corners of the simplex of the cell that holds the input (inputs stepped up in the order
// of their fractions, largest first). It agrees with the multilinear result on the grid and along
// its edges and costs k + 1 samples instead of 2^k: a function of sixteen inks stays affordable.
void PDFFunction::InterpolateSimplex(uint64_t base, const int* branching, int branchCount, const double* fractions,
                                     const uint64_t* strides)
{
    const int n = m_outputCount;
    std::array<int, kMaxInputs> order{};
    std::copy(branching, branching + branchCount, order.begin());
    std::sort(order.begin(), order.begin() + branchCount, [fractions](int a, int b) { return fractions[a] > fractions[b]; });
    uint64_t offset = base;
    double previous = 1.0;
    for (int k = 0; k <= branchCount; ++k) {
        const double next = k < branchCount ? fractions[order[static_cast<size_t>(k)]] : 0.0;
        const double weight = previous - next;
        for (int j = 0; j < n; ++j)
            m_outputs[static_cast<size_t>(j)] += weight * ReadSample(offset * static_cast<uint64_t>(n) + static_cast<uint64_t>(j));
        if (k < branchCount)
            offset += strides[order[static_cast<size_t>(k)]];
        previous = next;
    }
}

void PDFFunction::DecodeOutputs()
{
    const int n = m_outputCount;
    const double maximum = std::ldexp(1.0, m_bitsPerSample) - 1.0;
    for (int j = 0; j < n; ++j) {
        const size_t pair = 2 * static_cast<size_t>(j);
        const bool hasDecode = m_decode.size() >= pair + 2;
        const double d0 = hasDecode ? m_decode[pair] : m_range[pair];
        const double d1 = hasDecode ? m_decode[pair + 1] : m_range[pair + 1];
        const double y = d0 + m_outputs[static_cast<size_t>(j)] * (d1 - d0) / maximum;
        m_outputs[static_cast<size_t>(j)] = ClipToRange(y, j);
    }
}

// The input is clipped to the Domain. A negative input with a non-integer exponent has no real
// power; the function is taken at 0 there instead of producing NaN.
void PDFFunction::EvaluateExponential(double x)
{
    if (!m_usable || m_functionType != Exponential)
        return;
    if (m_domain.size() >= 2)
        x = Clip(x, m_domain[0], m_domain[1]);
    if (std::isnan(x) || (x < 0.0 && m_exponent != std::floor(m_exponent)))
        x = 0.0;
    const double t = std::pow(x, m_exponent);
    for (int j = 0; j < m_outputCount; ++j) {
        const size_t index = static_cast<size_t>(j);
        const double c0 = index < m_c0.size() ? m_c0[index] : 0.0;
        const double c1 = index < m_c1.size() ? m_c1[index] : 1.0;
        double y = c0 + t * (c1 - c0);
        if (std::isnan(y))
            y = c0;
        m_outputs[index] = ClipToRange(y, j);
    }
}

// The sub-function whose part of the Domain holds x (parts are closed below and open above, the
// last one closed at both ends) gets x mapped from its part onto its Encode pair.
void PDFFunction::EvaluateStitching(double x)
{
    if (!m_usable || m_functionType != Stitching)
        return;
    const size_t count = m_subFunctions.size();
    x = std::isnan(x) ? m_domain[0] : Clip(x, m_domain[0], m_domain[1]);
    size_t i = 0;
    while (i + 1 < count && x >= m_bounds[i])
        ++i;
    const double low = i == 0 ? m_domain[0] : m_bounds[i - 1];
    const double high = i + 1 == count ? m_domain[1] : m_bounds[i];
    const double e0 = m_encode[2 * i];
    const double e1 = m_encode[2 * i + 1];
    const double mapped = high == low ? e0 : e0 + (x - low) * (e1 - e0) / (high - low);
    PDFFunction& sub = m_subFunctions[i];
    sub.Evaluate(&mapped, 1);
    for (int j = 0; j < m_outputCount; ++j)
        m_outputs[static_cast<size_t>(j)] = ClipToRange(sub.outputs()[j], j);
}

// Missing operands follow the slot rule while the program runs. The values left become the first
// outputs, bottom first; outputs beyond them are 0 clipped to their Range, never the previous
// evaluation's values, so that a pixel's colour does not depend on its neighbours. A run that had to
// stop (the stack overflowed, an integer division by zero) gives every output 0 clipped to its Range.
void PDFFunction::EvaluateCalculator(const double* inputs, int count)
{
    if (!m_usable || m_functionType != Calculator)
        return;
    CalculatorStack stack;
    bool fine = true;
    for (int i = 0; i < count && fine; ++i)
        fine = stack.pushReal(inputs[i]);
    if (fine && m_program)
        fine = PostScriptCalculator::Execute(stack, m_program->nodes());
    SetClippedZeros();
    if (!fine)
        return;
    stack.reverse();
    const int values = std::min(stack.depth(), m_outputCount);
    double result = 0.0;
    for (int j = 0; j < values; ++j) {
        stack.popNumber(result);
        m_outputs[static_cast<size_t>(j)] = ClipToRange(result, j);
    }
}
