#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class Dict;
class Object;
class Stream;
class PostScriptCalculator;

// A PDF function (ISO 32000, 7.10) read from a dictionary or a stream: sampled (type 0), exponential
// (2), stitching (3) or PostScript calculator (4). Loaded once, then evaluated any number of times;
// each evaluation fills the output buffer, which is reused.
//
// Functions come from untrusted files. Loading checks that the arrays and the sample data hold what
// evaluation will read; a function that fails the checks (or whose calculator program is not a
// program) is not usable: it yields nothing, Evaluate returns false and leaves the outputs alone.
// Evaluation is a pure function of the inputs, so callers may cache results.
class PDFFunction {
public:
    enum Type : int32_t {
        Sampled = 0,
        Exponential = 2,
        Stitching = 3,
        Calculator = 4
    };
    // Bounds on nested stitching functions and on all functions one load may create, so that a
    // "Functions" array that names its own function again ends instead of recursing.
    static constexpr int kMaxNesting = 8;
    static constexpr int kMaxFunctionsPerLoad = 256;
    static constexpr int kMaxInputs = 32;
    static constexpr int kMaxOutputs = 32;
    // Sampled functions interpolate multilinearly (2^k samples) over at most this many inputs that
    // fall between grid points, and over a simplex (k + 1 samples) beyond.
    static constexpr int kMaxMultilinearInputs = 6;

    PDFFunction();
    ~PDFFunction();
    PDFFunction(PDFFunction&&) noexcept;
    PDFFunction& operator=(PDFFunction&&) noexcept;
    PDFFunction(const PDFFunction&) = delete;
    PDFFunction& operator=(const PDFFunction&) = delete;

    // Reads the function's keys; returns whether "N" was present.
    bool LoadFromDictionary(const Dict& dict);
    // Takes the stream's decoded bytes as the samples (or the program text), then reads its dictionary.
    void LoadFromStream(Stream& stream);
    // Calculator functions: reads the program from the samples. Called after loading.
    void BuildCalculatorProgram();

    void EvaluateSampled(const double* inputs, int count);
    void EvaluateExponential(double x);
    void EvaluateStitching(double x);
    void EvaluateCalculator(const double* inputs, int count);
    // Dispatches on the type. Returns false, leaving the outputs alone, when the function is not usable.
    bool Evaluate(const double* inputs, int count);

    int32_t functionType() const { return m_functionType; }
    int outputCount() const { return m_outputCount; }
    const double* outputs() const { return m_outputs.data(); }
    bool isUsable() const { return m_usable; }

private:
    struct LoadBudget {
        int depth = 0;
        int functions = 0;
    };
    bool LoadFromDictionary(const Dict& dict, LoadBudget& budget);
    void LoadFromStream(Stream& stream, LoadBudget& budget);
    void LoadSubFunctions(const Object& functions, LoadBudget& budget);
    void LoadSampleData(Stream& stream);
    void CheckUsable();
    bool SampledIsUsable() const;
    bool StitchingIsUsable();
    double ClipToRange(double value, int output) const;
    void SetClippedZeros();
    uint32_t ReadSample(uint64_t sampleIndex) const;
    void InterpolateMultilinear(uint64_t base, const int* branching, int branchCount, const double* fractions,
                                const uint64_t* strides);
    void InterpolateSimplex(uint64_t base, const int* branching, int branchCount, const double* fractions,
                            const uint64_t* strides);
    void DecodeOutputs();

    std::vector<uint8_t> m_samples;
    int32_t m_functionType = 0;
    int32_t m_bitsPerSample = 0;
    std::vector<double> m_domain;
    std::vector<double> m_range;
    std::vector<double> m_size;
    std::vector<double> m_encode;
    std::vector<double> m_decode;
    std::vector<double> m_c0;
    std::vector<double> m_c1;
    std::vector<double> m_bounds;
    bool m_hasRange = false;
    bool m_hasC1 = false;
    double m_exponent = 0.0;
    std::vector<PDFFunction> m_subFunctions;
    int m_outputCount = 0;
    std::vector<double> m_outputs;
    std::unique_ptr<PostScriptCalculator> m_program;
    bool m_programRejected = false;
    bool m_usable = false;
};

// The function an object describes (a dictionary or a stream), its calculator program built; null
// when the object is neither. The result may still be unusable (isUsable).
std::unique_ptr<PDFFunction> LoadPDFFunction(const Object& object);
