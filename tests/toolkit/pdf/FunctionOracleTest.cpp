// Our functions against Poppler's Function classes, which follow ISO 32000 and serve here as the
// reference: generated functions of every kind, and functions written as real PDF objects, each at
// thousands of inputs.
#include "TestPDFObjects.h"

#include "toolkit/pdf/PDFFunction.h"

#include <Function.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

QByteArray Num(double value)
{
    return QByteArray::number(value, 'f', 6);
}

QByteArray Numbers(const std::vector<double>& values, bool integers = false)
{
    QByteArray text = "[";
    for (double value : values)
        text += (integers ? QByteArray::number(static_cast<int>(value)) : Num(value)) + " ";
    return text + "]";
}

struct Comparison {
    int compared = 0;
    double worst = 0.0;
};

class FunctionOracleTest : public ::testing::Test {
protected:
    // Evaluates the object with ours and with Poppler's at every input (m values each), expecting
    // both to agree within tolerance; inputs where skip says so are left out.
    Comparison Compare(const Object& object, int m, const std::vector<std::vector<double>>& inputs, double tolerance,
                       const std::function<bool(const std::vector<double>&, const double*)>& skip = {})
    {
        Comparison result;
        std::unique_ptr<PDFFunction> ours = LoadPDFFunction(object);
        Object copy = object.copy();
        std::unique_ptr<Function> theirs(Function::parse(&copy));
        EXPECT_TRUE(ours && ours->isUsable());
        EXPECT_TRUE(theirs && theirs->isOk());
        if (!ours || !ours->isUsable() || !theirs || !theirs->isOk())
            return result;
        EXPECT_EQ(ours->outputCount(), theirs->getOutputSize());
        std::vector<double> expected(32);
        for (const std::vector<double>& in : inputs) {
            theirs->transform(in.data(), expected.data());
            if (skip && skip(in, expected.data()))
                continue;
            ours->Evaluate(in.data(), m);
            for (int j = 0; j < ours->outputCount(); ++j) {
                const double difference = std::fabs(ours->outputs()[j] - expected[static_cast<size_t>(j)]);
                result.worst = std::max(result.worst, difference);
                if (difference > tolerance) {
                    ADD_FAILURE() << "input " << in[0] << (m > 1 ? " ..." : "") << " output " << j << ": ours "
                                  << ours->outputs()[j] << ", Poppler " << expected[static_cast<size_t>(j)];
                    return result;
                }
            }
            ++result.compared;
        }
        return result;
    }

    std::vector<std::vector<double>> Inputs(int m, int count, double low, double high)
    {
        std::uniform_real_distribution<double> value(low, high);
        std::vector<std::vector<double>> inputs(static_cast<size_t>(count));
        for (auto& in : inputs) {
            for (int i = 0; i < m; ++i)
                in.push_back(value(random));
        }
        return inputs;
    }

    double Uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); }
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

    QByteArray ExponentialText(int n, bool withRange)
    {
        std::vector<double> c0, c1, range;
        for (int j = 0; j < n; ++j) {
            c0.push_back(Uniform(-1, 2));
            c1.push_back(Uniform(-1, 2));
            range.push_back(0);
            range.push_back(1);
        }
        const double exponents[] = {0.5, 1, 2, 2.2, 3, 0.37, 1.8};
        return "<< /FunctionType 2 /Domain [0 1] /C0 " + Numbers(c0) + " /C1 " + Numbers(c1) + " /N "
               + Num(exponents[Between(0, 6)]) + (withRange ? " /Range " + Numbers(range) : QByteArray()) + " >>";
    }

    // A sampled function with random samples; returns its object number.
    int AddSampled(int m, int n, int bits, bool customEncode, bool customDecode)
    {
        std::vector<double> domain, encode, decode, range, size;
        uint64_t count = 1;
        for (int i = 0; i < m; ++i) {
            const int extent = Between(2, 5);
            size.push_back(extent);
            count *= static_cast<uint64_t>(extent);
            const double low = Uniform(-1, 0.5);
            domain.push_back(low);
            domain.push_back(low + Uniform(0.5, 2));
            const double e0 = Uniform(0, extent - 1);
            encode.push_back(customEncode ? e0 : 0);
            encode.push_back(customEncode ? Uniform(0, extent - 1) : extent - 1);
        }
        for (int j = 0; j < n; ++j) {
            range.push_back(-0.5);
            range.push_back(1.5);
            decode.push_back(customDecode ? Uniform(-1, 1) : -0.5);
            decode.push_back(customDecode ? Uniform(0, 2) : 1.5);
        }
        QByteArray samples(static_cast<qsizetype>((count * static_cast<uint64_t>(n * bits) + 7) / 8), '\0');
        for (char& byte : samples)
            byte = static_cast<char>(Between(0, 255));
        objects.addStream(++number,
                          "/FunctionType 0 /Domain " + Numbers(domain) + " /Range " + Numbers(range) + " /Size "
                              + Numbers(size, true) + " /BitsPerSample " + QByteArray::number(bits) + " /Encode "
                              + Numbers(encode) + (customDecode ? " /Decode " + Numbers(decode) : QByteArray()),
                          samples);
        lastDomain = domain;
        return number;
    }

    std::mt19937 random{20261207};
    TestPDFObjects objects;
    int number = 10;
    std::vector<double> lastDomain;
};

// Inputs outside the Domain, and exponents that have no real power of them, are outside the
// comparison: there Poppler takes pow of a negative number and hands back NaN, we clip first.
TEST_F(FunctionOracleTest, Exponential)
{
    int compared = 0;
    for (int f = 0; f < 40; ++f) {
        const Object object = objects.parse(ExponentialText(Between(1, 4), f % 2 == 0));
        compared += Compare(object, 1, Inputs(1, 2000, -0.5, 1.5), 1e-6).compared;
    }
    EXPECT_GE(compared, 40 * 2000);
}

TEST_F(FunctionOracleTest, Sampled)
{
    const int depths[] = {1, 2, 4, 8, 12, 16, 32};
    int compared = 0;
    for (int f = 0; f < 70; ++f) {
        const int m = Between(1, 3);
        const int bits = depths[f % 7];
        const int object = AddSampled(m, Between(1, 3), bits, f % 3 == 0, f % 2 == 0);
        const std::vector<double> domain = lastDomain;
        // Poppler maps an input outside the Domain through Encode before clipping, we clip to the
        // Domain first (ISO 32000, 7.10.2); the two agree only where the input lies inside.
        std::vector<std::vector<double>> inputs;
        for (auto in : Inputs(m, 2000, 0, 1)) {
            for (int i = 0; i < m; ++i)
                in[static_cast<size_t>(i)] = domain[2 * static_cast<size_t>(i)]
                                             + in[static_cast<size_t>(i)] * (domain[2 * static_cast<size_t>(i) + 1] - domain[2 * static_cast<size_t>(i)]);
            inputs.push_back(in);
        }
        compared += Compare(objects.object(object), m, inputs, 1e-6).compared;
    }
    EXPECT_GE(compared, 70 * 2000);
}

TEST_F(FunctionOracleTest, Stitching)
{
    int compared = 0;
    for (int f = 0; f < 30; ++f) {
        const int k = Between(1, 4);
        std::vector<double> bounds, encode;
        for (int i = 1; i < k; ++i)
            bounds.push_back(Uniform(0.05, 0.95));
        std::sort(bounds.begin(), bounds.end());
        QByteArray functions = "[";
        for (int i = 0; i < k; ++i) {
            encode.push_back(Uniform(0, 1));
            encode.push_back(Uniform(0, 1));
            if (i % 2 == 0) {
                functions += ExponentialText(2, true) + " ";
            } else {
                const int sampled = AddSampled(1, 2, 8, false, false);
                functions += QByteArray::number(sampled) + " 0 R ";
            }
        }
        functions += "]";
        // The sampled sub-functions' Domain: Encode pairs land inside it.
        for (double& e : encode)
            e = lastDomain.empty() ? e : e;
        const Object object = objects.parse("<< /FunctionType 3 /Domain [0 1] /Bounds " + Numbers(bounds)
                                            + " /Encode " + Numbers(encode) + " /Functions " + functions + " >>");
        compared += Compare(object, 1, Inputs(1, 2000, -0.2, 1.2), 1e-6).compared;
    }
    EXPECT_GE(compared, 30 * 2000);
}

// Handwritten tint transforms and random expressions over the inputs. Programs are well formed and
// leave exactly as many values as the function has outputs: where a program breaks a rule (an
// operator short of operands, idiv by zero) Poppler goes on with 0 for what is missing, while we
// end the run and give every output 0 clipped to its Range; and of surplus values Poppler takes the
// top ones, we the bottom ones. Results Poppler gives as NaN are left out (we hand on 0 clipped to
// the Range instead), and atan is compared apart (below).
TEST_F(FunctionOracleTest, Calculator)
{
    struct Program {
        int inputs;
        int outputs;
        std::string text;
    };
    const std::vector<Program> programs = {
        {1, 1, "{ 1 exch sub }"},
        {1, 1, "{ dup 0.5 gt { pop 1 } { pop 0 } ifelse }"},
        {1, 1, "{ dup mul sqrt 0.3 add }"},
        {2, 1, "{ 2 copy gt { exch } if pop }"},
        {2, 1, "{ add 2 div 360 mul sin abs }"},
        {2, 1, "{ exch 10 mul cvi 3 idiv exch 10 mul cvi 4 mod add 0.1 mul }"},
        {3, 1, "{ 3 1 roll 2 index mul 3 1 roll mul add 0.5 mul }"},
        {1, 4, "{ dup 0.84 mul exch 0 exch dup 0.44 mul exch 0.21 mul }"},
        {2, 2, "{ 1 index 1 index add 3 1 roll mul }"},
        {1, 1, "{ 100 mul cvi 7 and 3 bitshift 64 div }"},
        {1, 1, "{ 2 exp 3 mul 1 exch sub abs ln neg }"},
        {2, 3, "{ 1 index 1 index lt 3 1 roll gt xor { 1 } { 0 } ifelse dup 0.5 mul 1 index 0.25 add }"},
        {1, 1, "{ 180 mul cos 2.5 mul round 0.2 mul truncate }"},
        {2, 1, "{ 255 mul cvi exch 255 mul cvi 2 copy eq { pop pop 0 } { sub abs 255 div } ifelse }"},
        {1, 1, "{ 0.5 sub 10 mul floor 0.1 mul ceiling }"},
        {3, 3, "{ cvr 3 1 roll neg exch log abs 1 add }"},
    };
    int compared = 0;
    for (const Program& entry : programs) {
        const int inputs = entry.inputs;
        const int outputsLeft = entry.outputs;
        const std::string& program = entry.text;
        QByteArray domain, range;
        for (int i = 0; i < inputs; ++i)
            domain += "0 1 ";
        for (int j = 0; j < outputsLeft; ++j)
            range += "-2 2 ";
        objects.addStream(++number, "/FunctionType 4 /Domain [" + domain + "] /Range [" + range + "]",
                          QByteArray::fromStdString(program));
        SCOPED_TRACE(program);
        compared += Compare(objects.object(number), inputs, Inputs(inputs, 2000, 0, 1), 1e-6,
                            [&](const std::vector<double>&, const double* out) {
                                for (int j = 0; j < outputsLeft; ++j)
                                    if (std::isnan(out[j]))
                                        return true;
                                return false;
                            })
                        .compared;
    }
    EXPECT_GE(compared, static_cast<int>(programs.size()) * 1800);
}

// Random programs: each output an expression over the inputs, reached with index, then the inputs
// rolled to the top and popped.
TEST_F(FunctionOracleTest, RandomCalculatorPrograms)
{
    const char* unary[] = {"abs", "neg", "floor", "ceiling", "round", "truncate", "cvr", "dup mul", "abs sqrt",
                           "sin", "cos", "abs 1 add ln", "abs 1 add log", "0.5 mul"};
    const char* binary[] = {"add", "sub", "mul", "abs 0.5 add div", "exch abs exch exp", "2 copy lt { exch } if pop"};
    int compared = 0;
    for (int f = 0; f < 60; ++f) {
        const int m = Between(1, 4);
        const int n = Between(1, 4);
        std::string program = "{ ";
        for (int j = 0; j < n; ++j) {
            // Each output: input op input op ..., with the stack growing by one per output.
            int above = j;
            auto input = [&]() { return std::to_string(m - 1 - Between(0, m - 1) + above) + " index "; };
            program += input();
            ++above;
            for (int step = 0; step < Between(1, 4); ++step) {
                if (Between(0, 1) == 0) {
                    program += std::string(unary[Between(0, 13)]) + " ";
                } else {
                    program += Between(0, 2) == 0 ? std::to_string(Uniform(-2, 2)).substr(0, 5) + " " : input();
                    program += std::string(binary[Between(0, 5)]) + " ";
                }
            }
            --above;
        }
        program += std::to_string(n + m) + " " + std::to_string(n) + " roll ";
        for (int i = 0; i < m; ++i)
            program += "pop ";
        program += "}";
        QByteArray domain, range;
        for (int i = 0; i < m; ++i)
            domain += "0 1 ";
        for (int j = 0; j < n; ++j)
            range += "-3 3 ";
        objects.addStream(++number, "/FunctionType 4 /Domain [" + domain + "] /Range [" + range + "]",
                          QByteArray::fromStdString(program));
        SCOPED_TRACE(program);
        compared += Compare(objects.object(number), m, Inputs(m, 2000, 0, 1), 1e-6,
                            [&](const std::vector<double>&, const double* out) {
                                for (int j = 0; j < n; ++j)
                                    if (std::isnan(out[j]))
                                        return true;
                                return false;
                            })
                        .compared;
    }
    EXPECT_GE(compared, 60 * 1500);
}

// atan: Poppler answers between 0 and 360 degrees as the standard has it; ours keeps the range of
// atan2, -180 to 180, and its own degree factor, so the two agree for angles in the first half
// turn and differ by 360 below it.
TEST_F(FunctionOracleTest, AtanDiffersByAFullTurnBelowZero)
{
    objects.addStream(++number, "/FunctionType 4 /Domain [-1 1 -1 1] /Range [-400 400]", "{ atan }");
    std::unique_ptr<PDFFunction> ours = LoadPDFFunction(objects.object(number));
    Object object = objects.object(number);
    std::unique_ptr<Function> theirs(Function::parse(&object));
    ASSERT_TRUE(theirs);
    for (const auto& in : Inputs(2, 2000, -1, 1)) {
        double expected = 0;
        theirs->transform(in.data(), &expected);
        ours->Evaluate(in.data(), 2);
        const double ourAngle = ours->outputs()[0];
        EXPECT_NEAR(ourAngle < 0 ? ourAngle + 360 : ourAngle, expected, 1e-6);
    }
}

// Functions written the way PDF producers write them: filtered sample streams, stitched gradients
// with referenced sub-functions, spot-colour programs.
TEST_F(FunctionOracleTest, FunctionsFromPDFObjects)
{
    QByteArray hex;
    for (int i = 0; i < 256 * 4; ++i)
        hex += QByteArray::number((i * 37 + i / 4) % 256, 16).rightJustified(2, '0');
    objects.addStream(20, "/FunctionType 0 /Domain [0 1] /Range [0 1 0 1 0 1 0 1] /Size [256] /BitsPerSample 8 "
                          "/Filter /ASCIIHexDecode",
                      hex + ">");
    objects.add(21, "<< /FunctionType 2 /Domain [0 1] /C0 [1 1 1] /C1 [0.2 0.4 0.9] /N 1 >>");
    objects.add(22, "<< /FunctionType 2 /Domain [0 1] /C0 [0.2 0.4 0.9] /C1 [0 0 0] /N 2.2 >>");
    objects.add(23, "<< /FunctionType 3 /Domain [0 1] /Functions [21 0 R 22 0 R] /Bounds [0.4] "
                    "/Encode [0 1 0 1] >>");
    objects.addStream(24, "/FunctionType 4 /Domain [0 1 0 1] /Range [0 1 0 1 0 1 0 1]",
                      "{\n  exch dup 0.9 mul\n  exch 0.0 mul\n  3 -1 roll\n  dup 0.1 mul exch 0.7 mul\n}");
    objects.addStream(25, "/FunctionType 0 /Domain [0 1 0 1] /Range [0 1 0 1 0 1] /Size [17 17] "
                          "/BitsPerSample 16 /Decode [0 1 0 1 0 1] /Filter /ASCIIHexDecode",
                      QByteArray(17 * 17 * 3 * 4, '7').replace(7, 1, "c") + ">");
    EXPECT_GE(Compare(objects.object(20), 1, Inputs(1, 5000, 0, 1), 1e-6).compared, 5000);
    EXPECT_GE(Compare(objects.object(23), 1, Inputs(1, 5000, -0.1, 1.1), 1e-6).compared, 5000);
    EXPECT_GE(Compare(objects.object(24), 2, Inputs(2, 5000, 0, 1), 1e-6).compared, 5000);
    EXPECT_GE(Compare(objects.object(25), 2, Inputs(2, 5000, 0, 1), 1e-6).compared, 5000);
}

} // namespace
