#include "toolkit/pdf/PDFFunction.h"

#include "toolkit/pdf/PDFObjectValues.h"
#include "toolkit/pdf/PostScriptCalculator.h"

#include <Object.h>
#include <Array.h>
#include <Dict.h>
#include <Stream.h>

#include <algorithm>
#include <cmath>

namespace {

// A calculator program is text of a few hundred bytes; far longer text is not read.
constexpr size_t kMaxProgramBytes = 1 << 20;
constexpr int kMaxSampledInputs = 16;

bool IsSupportedSampleDepth(int32_t bits)
{
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 12 || bits == 16 || bits == 24 || bits == 32;
}

// The bits the samples of a sampled function take, or nothing when Size does not describe a grid.
std::optional<uint64_t> SampleBits(const std::vector<double>& size, int inputs, int outputs, int32_t bitsPerSample)
{
    if (static_cast<int>(size.size()) < inputs)
        return std::nullopt;
    constexpr uint64_t kLimit = uint64_t(1) << 40;
    uint64_t total = static_cast<uint64_t>(outputs) * static_cast<uint64_t>(bitsPerSample);
    for (int i = 0; i < inputs; ++i) {
        const double extent = size[static_cast<size_t>(i)];
        if (!(extent >= 1.0 && extent <= 2147483647.0) || extent != std::floor(extent))
            return std::nullopt;
        total *= static_cast<uint64_t>(extent);
        if (total > kLimit)
            return std::nullopt;
    }
    return total;
}

} // namespace

PDFFunction::PDFFunction() = default;
PDFFunction::~PDFFunction() = default;
PDFFunction::PDFFunction(PDFFunction&&) noexcept = default;
PDFFunction& PDFFunction::operator=(PDFFunction&&) noexcept = default;

bool PDFFunction::LoadFromDictionary(const Dict& dict)
{
    LoadBudget budget;
    return LoadFromDictionary(dict, budget);
}

void PDFFunction::LoadFromStream(Stream& stream)
{
    LoadBudget budget;
    LoadFromStream(stream, budget);
}

bool PDFFunction::LoadFromDictionary(const Dict& dict, LoadBudget& budget)
{
    using namespace PDFObjectValues;
    ++budget.functions;
    m_functionType = static_cast<int32_t>(Integer(dict, "FunctionType").value_or(0));
    m_domain = NumberArray(dict, "Domain").value_or(std::vector<double>());
    if (auto range = NumberArray(dict, "Range")) {
        m_hasRange = true;
        m_range = std::move(*range);
        m_outputCount = static_cast<int>(std::min<size_t>(m_range.size() / 2, kMaxOutputs + 1));
    }
    m_bitsPerSample = static_cast<int32_t>(Integer(dict, "BitsPerSample").value_or(0));
    m_encode = NumberArray(dict, "Encode").value_or(std::vector<double>());
    m_decode = NumberArray(dict, "Decode").value_or(std::vector<double>());
    m_size = NumberArray(dict, "Size").value_or(std::vector<double>());
    m_c0 = NumberArray(dict, "C0").value_or(std::vector<double>());
    if (auto c1 = NumberArray(dict, "C1")) {
        m_hasC1 = true;
        m_c1 = std::move(*c1);
        if (!m_hasRange)
            m_outputCount = static_cast<int>(std::min<size_t>(m_c1.size(), kMaxOutputs + 1));
    }
    // Without C1 an exponential function has the one output of the default C1 (1.0).
    if (m_functionType == Exponential && !m_hasRange && !m_hasC1)
        m_outputCount = 1;
    m_bounds = NumberArray(dict, "Bounds").value_or(std::vector<double>());
    // Read with or without Bounds: a stitching function of one sub-function has none.
    const Object functions = dict.lookup("Functions");
    if (functions.isArray())
        LoadSubFunctions(functions, budget);
    const std::optional<double> exponent = Number(dict, "N");
    m_exponent = exponent.value_or(0.0);
    CheckUsable();
    return exponent.has_value();
}

void PDFFunction::LoadSubFunctions(const Object& functions, LoadBudget& budget)
{
    const Array& array = *functions.getArray();
    m_subFunctions.clear();
    m_subFunctions.resize(static_cast<size_t>(array.getLength()));
    if (budget.depth >= kMaxNesting)
        return;
    ++budget.depth;
    for (int i = 0; i < array.getLength() && budget.functions < kMaxFunctionsPerLoad; ++i) {
        const Object element = array.get(i);
        PDFFunction& sub = m_subFunctions[static_cast<size_t>(i)];
        if (element.isDict())
            sub.LoadFromDictionary(*element.getDict(), budget);
        else if (element.isStream())
            sub.LoadFromStream(*element.getStream(), budget);
        if (sub.functionType() == Calculator)
            sub.BuildCalculatorProgram();
    }
    --budget.depth;
}

void PDFFunction::LoadFromStream(Stream& stream, LoadBudget& budget)
{
    Dict* dict = stream.getDict();
    if (dict)
        LoadFromDictionary(*dict, budget);
    LoadSampleData(stream);
    CheckUsable();
}

// Only the bytes evaluation can read are decoded, so that a stream which inflates without end
// costs no more than the function it describes.
void PDFFunction::LoadSampleData(Stream& stream)
{
    size_t limit = 0;
    if (m_functionType == Calculator) {
        limit = kMaxProgramBytes;
    } else if (m_functionType == Sampled) {
        const auto bits = SampleBits(m_size, static_cast<int>(m_domain.size() / 2), m_outputCount, m_bitsPerSample);
        limit = bits ? static_cast<size_t>((*bits + 7) / 8) : 0;
    }
    m_samples = PDFObjectValues::StreamBytes(stream, limit);
}

void PDFFunction::BuildCalculatorProgram()
{
    if (m_functionType != Calculator)
        return;
    m_program = std::make_unique<PostScriptCalculator>(m_samples.data(), m_samples.size());
    m_programRejected = !m_program->Build();
    if (m_programRejected)
        m_program.reset();
    CheckUsable();
}

void PDFFunction::CheckUsable()
{
    switch (m_functionType) {
    case Sampled:
        m_usable = SampledIsUsable();
        break;
    case Exponential:
        m_usable = true;
        break;
    case Stitching:
        m_usable = StitchingIsUsable();
        break;
    case Calculator:
        m_usable = !m_programRejected;
        break;
    default:
        m_usable = false;
        break;
    }
    m_usable = m_usable && m_outputCount >= 1 && m_outputCount <= kMaxOutputs;
    m_outputs.assign(static_cast<size_t>(std::max(m_outputCount, 0)), 0.0);
}

// A sampled function must say its Range: its samples are decoded into it and clipped to it.
bool PDFFunction::SampledIsUsable() const
{
    const int inputs = static_cast<int>(m_domain.size() / 2);
    if (!m_hasRange || m_range.size() < 2 * static_cast<size_t>(std::max(m_outputCount, 0)))
        return false;
    if (inputs < 1 || inputs > kMaxSampledInputs || !IsSupportedSampleDepth(m_bitsPerSample))
        return false;
    const auto bits = SampleBits(m_size, inputs, m_outputCount, m_bitsPerSample);
    return bits && *bits <= static_cast<uint64_t>(m_samples.size()) * 8;
}

// Every sub-function must be usable with one input and give the stitching function's outputs; an
// Encode pair for each and a bound between each two must be there.
bool PDFFunction::StitchingIsUsable()
{
    const size_t count = m_subFunctions.size();
    if (count == 0 || m_domain.size() < 2 || m_encode.size() < 2 * count || m_bounds.size() < count - 1)
        return false;
    if (!m_hasRange)
        m_outputCount = m_subFunctions.front().outputCount();
    for (const PDFFunction& sub : m_subFunctions) {
        if (!sub.isUsable() || sub.outputCount() != m_outputCount)
            return false;
    }
    return true;
}

std::unique_ptr<PDFFunction> LoadPDFFunction(const Object& object)
{
    auto function = std::make_unique<PDFFunction>();
    if (object.isDict())
        function->LoadFromDictionary(*object.getDict());
    else if (object.isStream())
        function->LoadFromStream(*object.getStream());
    else
        return nullptr;
    if (function->functionType() == PDFFunction::Calculator)
        function->BuildCalculatorProgram();
    return function;
}
