#include "TestPDFObjects.h"

#include "toolkit/pdf/PDFFunction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

class PDFFunctionTest : public ::testing::Test {
protected:
    std::unique_ptr<PDFFunction> Function(const QByteArray& text) { return LoadPDFFunction(objects.parse(text)); }

    std::unique_ptr<PDFFunction> Sampled(const QByteArray& entries, const QByteArray& samples)
    {
        objects.addStream(++number, "/FunctionType 0 " + entries, samples);
        return LoadPDFFunction(objects.object(number));
    }

    static std::vector<double> All(PDFFunction& function, std::vector<double> inputs)
    {
        EXPECT_TRUE(function.Evaluate(inputs.data(), static_cast<int>(inputs.size())));
        return std::vector<double>(function.outputs(), function.outputs() + function.outputCount());
    }

    static double At(PDFFunction& function, double input) { return All(function, std::vector<double>{input})[0]; }

    TestPDFObjects objects;
    int number = 100;
};

} // namespace

// Between samples the value is interpolated: a two-sample tint transform is a ramp, not a switch.
TEST_F(PDFFunctionTest, SampledInterpolatesBetweenSamples)
{
    auto ramp = Sampled("/Domain [0 1] /Range [0 1] /Size [2] /BitsPerSample 8", QByteArray("\x00\xff", 2));
    ASSERT_TRUE(ramp->isUsable());
    EXPECT_NEAR(At(*ramp, 0.4), 0.4, 1e-12);
    EXPECT_NEAR(At(*ramp, 0.5), 0.5, 1e-12);
    EXPECT_DOUBLE_EQ(At(*ramp, 1.7), 1.0);
    EXPECT_DOUBLE_EQ(At(*ramp, -3.0), 0.0);
    auto inverted = Sampled("/Domain [0 1] /Range [0 1] /Decode [1 0] /Size [2] /BitsPerSample 8",
                            QByteArray("\x00\xff", 2));
    EXPECT_DOUBLE_EQ(At(*inverted, 0.0), 1.0);
    auto sixteen = Sampled("/Domain [0 1] /Range [0 1] /Size [1] /BitsPerSample 16", QByteArray("\x80\x00", 2));
    EXPECT_DOUBLE_EQ(At(*sixteen, 0.3), 32768.0 / 65535.0);
    // Two inputs: the first varies fastest; the middle of the square averages its corners.
    auto square = Sampled("/Domain [0 1 0 1] /Range [0 1] /Size [2 2] /BitsPerSample 8",
                          QByteArray("\x00\xff\xff\x00", 4));
    EXPECT_NEAR(All(*square, {0.5, 0.5})[0], 0.5, 1e-12);
    EXPECT_NEAR(All(*square, {0.25, 0.0})[0], 0.25, 1e-12);
    EXPECT_NEAR(All(*square, {1.0, 0.75})[0], 0.25, 1e-12);
    // An input the caller does not give is taken at the low end of its Domain.
    EXPECT_NEAR(All(*square, {0.25})[0], 0.25, 1e-12);
}

// Samples narrower than a byte, or 12 bits wide, are read at their bit positions.
// Sixteen inputs between grid points: the result is still the interpolation of the samples around
// the input (exact for samples of a linear function), at the cost of seventeen samples, not 65536.
TEST_F(PDFFunctionTest, SampledOfManyInputsInterpolates)
{
    QByteArray domain, size;
    for (int i = 0; i < 16; ++i) {
        domain += "0 1 ";
        size += "2 ";
    }
    QByteArray samples;
    for (int corner = 0; corner < 65536; ++corner)
        samples += char(__builtin_popcount(corner) * 15);
    auto mean = Sampled("/Domain [" + domain + "] /Range [0 1] /Size [" + size + "] /BitsPerSample 8", samples);
    ASSERT_TRUE(mean->isUsable());
    std::vector<double> inputs(16);
    for (int i = 0; i < 16; ++i)
        inputs[size_t(i)] = (i + 1) / 17.0;
    ASSERT_TRUE(mean->Evaluate(inputs.data(), 16));
    EXPECT_NEAR(mean->outputs()[0], 0.5 * 240.0 / 255.0, 1e-9);
    // Along one input only it is the plain two-sample ramp.
    std::vector<double> edge(16, 0.0);
    edge[3] = 0.25;
    ASSERT_TRUE(mean->Evaluate(edge.data(), 16));
    EXPECT_NEAR(mean->outputs()[0], 0.25 * 15.0 / 255.0, 1e-9);
}

// Past six inputs the corners are weighed along the simplex that holds the input: no corner weighs
// more than the input lies towards it, so a sample set only where every input is high gives the
// smallest input, never more.
TEST_F(PDFFunctionTest, SampledOfManyInputsWeighsACornerByTheInputsNearestIt)
{
    QByteArray domain, size;
    for (int i = 0; i < 8; ++i) {
        domain += "0 1 ";
        size += "2 ";
    }
    QByteArray samples(256, '\0');
    samples[255] = '\xff';
    auto allHigh = Sampled("/Domain [" + domain + "] /Range [0 1] /Size [" + size + "] /BitsPerSample 8", samples);
    ASSERT_TRUE(allHigh->isUsable());
    EXPECT_NEAR(All(*allHigh, {0.8, 0.3, 0.5, 0.1, 0.7, 0.2, 0.6, 0.4})[0], 0.1, 1e-9);
    EXPECT_NEAR(All(*allHigh, {0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 0.25})[0], 0.25, 1e-9);
}

TEST_F(PDFFunctionTest, SampledReadsEveryDepthByBitPosition)
{
    auto two = Sampled("/Domain [0 1] /Range [0 1] /Size [4] /BitsPerSample 2", QByteArray("\x1b", 1));
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(At(*two, k / 3.0), k / 3.0, 1e-12) << k;
    auto one = Sampled("/Domain [0 1] /Range [0 1 0 1] /Size [3] /BitsPerSample 1", QByteArray("\x6c", 1));
    // 0110 1100: the pairs (0 1) (1 0) (1 1).
    EXPECT_EQ(All(*one, {0.0}), (std::vector<double>{0.0, 1.0}));
    EXPECT_EQ(All(*one, {0.5}), (std::vector<double>{1.0, 0.0}));
    EXPECT_EQ(All(*one, {1.0}), (std::vector<double>{1.0, 1.0}));
    auto four = Sampled("/Domain [0 1] /Range [0 15] /Decode [0 15] /Size [3] /BitsPerSample 4",
                        QByteArray("\x3a\x50", 2));
    EXPECT_DOUBLE_EQ(At(*four, 0.0), 3.0);
    EXPECT_DOUBLE_EQ(At(*four, 0.5), 10.0);
    EXPECT_DOUBLE_EQ(At(*four, 1.0), 5.0);
    auto twelve = Sampled("/Domain [0 1] /Range [0 4095] /Decode [0 4095] /Size [3] /BitsPerSample 12",
                          QByteArray("\x00\x0f\xff\x80\x00", 5));
    EXPECT_DOUBLE_EQ(At(*twelve, 0.0), 0.0);
    EXPECT_DOUBLE_EQ(At(*twelve, 0.5), 4095.0);
    EXPECT_DOUBLE_EQ(At(*twelve, 1.0), 2048.0);
    EXPECT_DOUBLE_EQ(At(*twelve, 0.75), (4095.0 + 2048.0) / 2);
}

// Arrays or data shorter than the function needs never lead to reads outside them.
TEST_F(PDFFunctionTest, SampledWithShortArraysOrData)
{
    const QByteArray samples("\x00\xff", 2);
    EXPECT_FALSE(Sampled("/Domain [0 1 0 1] /Range [0 1] /Size [2] /BitsPerSample 8", samples)->isUsable());
    EXPECT_FALSE(Sampled("/Domain [0 1] /Range [0 1] /Size [3] /BitsPerSample 8", samples)->isUsable());
    EXPECT_FALSE(Sampled("/Domain [0 1] /Range [0 1 0 1] /Size [2] /BitsPerSample 8", samples)->isUsable());
    EXPECT_FALSE(Sampled("/Domain [0 1] /Range [0 1] /Size [2] /BitsPerSample 16", samples)->isUsable());
    EXPECT_FALSE(Sampled("/Domain [0 1] /Range [0 1] /Size [0] /BitsPerSample 8", samples)->isUsable());
    EXPECT_FALSE(Sampled("/Domain [0 1] /Range [0 1] /Size [2.5] /BitsPerSample 8", samples)->isUsable());
    EXPECT_FALSE(Sampled("/Domain [0 1] /Range [0 1] /Size [2] /BitsPerSample 7", samples)->isUsable());
    EXPECT_FALSE(Sampled("/Domain [0 1] /Range [0 1] /Size [2] /BitsPerSample 8", QByteArray())->isUsable());
    EXPECT_FALSE(Sampled("/Domain [0 1] /Range [] /Size [2] /BitsPerSample 8", samples)->isUsable());
    EXPECT_FALSE(Sampled("/Domain [] /Range [0 1] /Size [2] /BitsPerSample 8", samples)->isUsable());
    // Without Range a sampled function cannot be used, whatever C1 or Decode give it.
    auto noRange = Sampled("/Domain [0 1] /C1 [1] /Size [2] /BitsPerSample 8", samples);
    EXPECT_FALSE(noRange->isUsable());
    const double input = 0.5;
    EXPECT_FALSE(noRange->Evaluate(&input, 1));
    EXPECT_FALSE(Sampled("/Domain [0 1] /C1 [1 1] /Decode [0 1 0 1] /Size [2] /BitsPerSample 8", samples)->isUsable());
    EXPECT_FALSE(Sampled("/Domain [0 1 0 1] /Range [0 1] /Size [2147483647 2147483647] /BitsPerSample 32",
                         samples)
                     ->isUsable());
    // A short Encode or Decode falls back to its default for the pairs it lacks.
    auto shortEncode = Sampled("/Domain [0 1 0 1] /Encode [0 1] /Range [0 1] /Size [2 2] /BitsPerSample 8",
                               QByteArray("\x00\xff\xff\x00", 4));
    EXPECT_NEAR(All(*shortEncode, {0.0, 0.5})[0], 0.5, 1e-12);
    auto shortDecode = Sampled("/Domain [0 1] /Decode [1 0] /Range [0 1 0 1] /Size [2] /BitsPerSample 8",
                               QByteArray("\x00\x00\xff\xff", 4));
    EXPECT_EQ(All(*shortDecode, {1.0}), (std::vector<double>{0.0, 1.0}));
}

TEST_F(PDFFunctionTest, Exponential)
{
    auto curve = Function("<< /FunctionType 2 /Domain [0 1] /C0 [0 0 0] /C1 [1 0.5 0] /N 2 /Range [0 1 0 1 0 1] >>");
    EXPECT_EQ(All(*curve, {0.5}), (std::vector<double>{0.25, 0.125, 0.0}));
    auto unclipped = Function("<< /FunctionType 2 /Domain [0 1] /C1 [2 3] /N 1 >>");
    EXPECT_EQ(unclipped->outputCount(), 2);
    EXPECT_EQ(All(*unclipped, {1.0}), (std::vector<double>{2.0, 3.0}));
    // N is a number: a gamma of 1.5 is a curve, not C1 everywhere.
    auto gamma = Function("<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1.5 >>");
    EXPECT_NEAR(At(*gamma, 0.25), 0.125, 1e-12);
    // The input is clipped to the Domain.
    EXPECT_DOUBLE_EQ(At(*gamma, 4.0), 1.0);
    // No real power of a negative input: the function is taken at 0.
    auto root = Function("<< /FunctionType 2 /Domain [-1 1] /C0 [0.3] /C1 [1] /N 0.5 >>");
    EXPECT_DOUBLE_EQ(At(*root, -0.25), 0.3);
    auto reciprocal = Function("<< /FunctionType 2 /Domain [0 1] /C0 [0.5] /C1 [0.5] /N -1 >>");
    EXPECT_DOUBLE_EQ(At(*reciprocal, 0.0), 0.5);
    auto bare = Function("<< /FunctionType 2 /Domain [0 1] /N 1 >>");
    EXPECT_EQ(bare->outputCount(), 1);
    EXPECT_DOUBLE_EQ(At(*bare, 0.75), 0.75);
    // C0 shorter than C1: the missing entries are 0.
    auto shortC0 = Function("<< /FunctionType 2 /Domain [0 1] /C0 [1] /C1 [0 1] /N 1 >>");
    EXPECT_EQ(All(*shortC0, {0.5}), (std::vector<double>{0.5, 0.5}));
}

TEST_F(PDFFunctionTest, Stitching)
{
    // One sub-function and no Bounds.
    auto single = Function("<< /FunctionType 3 /Domain [0 1] /Encode [1 0] "
                           "/Functions [<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >>] >>");
    ASSERT_TRUE(single->isUsable());
    EXPECT_DOUBLE_EQ(At(*single, 0.25), 0.75);
    auto emptyBounds = Function("<< /FunctionType 3 /Domain [0 1] /Bounds [] /Encode [0 1] "
                                "/Functions [<< /FunctionType 2 /Domain [0 1] /C1 [1] /N 2 >>] >>");
    EXPECT_DOUBLE_EQ(At(*emptyBounds, 0.5), 0.25);
    // Stitching and calculator functions as sub-functions.
    objects.addStream(50, "/FunctionType 4 /Domain [0 1] /Range [0 1]", "{ 1 exch sub }");
    auto nested = Function("<< /FunctionType 3 /Domain [0 2] /Bounds [1] /Encode [0 1 0 1] /Functions [50 0 R "
                           "<< /FunctionType 3 /Domain [0 1] /Bounds [0.5] /Encode [0 1 0 1] /Functions ["
                           "<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [0.5] /N 1 >> 50 0 R] >>] >>");
    ASSERT_TRUE(nested->isUsable());
    EXPECT_DOUBLE_EQ(At(*nested, 0.25), 0.75);
    EXPECT_DOUBLE_EQ(At(*nested, 1.25), 0.25);
    EXPECT_DOUBLE_EQ(At(*nested, 1.75), 0.5);
    EXPECT_DOUBLE_EQ(At(*nested, 2.0), 0.0);
    // Missing Encode pairs or Bounds, and sub-functions of different output counts.
    EXPECT_FALSE(Function("<< /FunctionType 3 /Domain [0 1] /Bounds [0.5] /Encode [0 1] /Functions ["
                          "<< /FunctionType 2 /N 1 >> << /FunctionType 2 /N 1 >>] >>")
                     ->isUsable());
    EXPECT_FALSE(Function("<< /FunctionType 3 /Domain [0 1] /Encode [0 1 0 1] /Functions ["
                          "<< /FunctionType 2 /N 1 >> << /FunctionType 2 /N 1 >>] >>")
                     ->isUsable());
    EXPECT_FALSE(Function("<< /FunctionType 3 /Domain [0 1] /Bounds [0.5] /Encode [0 1 0 1] /Functions ["
                          "<< /FunctionType 2 /N 1 >> << /FunctionType 2 /C1 [1 1] /N 1 >>] >>")
                     ->isUsable());
    EXPECT_FALSE(Function("<< /FunctionType 3 /Domain [0 1] /Encode [0 1] /Functions [] >>")->isUsable());
}

// A function that names itself among its sub-functions, directly or many times over, loads in
// bounded time and is not usable.
TEST_F(PDFFunctionTest, SelfReferenceEnds)
{
    objects.add(60, "<< /FunctionType 3 /Domain [0 1] /Encode [0 1] /Functions [60 0 R] >>");
    objects.add(61, "<< /FunctionType 3 /Domain [0 1] /Bounds [0.2 0.4 0.6 0.8] /Encode [0 1 0 1 0 1 0 1 0 1] "
                    "/Functions [61 0 R 61 0 R 61 0 R 61 0 R 61 0 R] >>");
    auto direct = LoadPDFFunction(objects.object(60));
    auto fanned = LoadPDFFunction(objects.object(61));
    EXPECT_FALSE(direct->isUsable());
    EXPECT_FALSE(fanned->isUsable());
}

TEST_F(PDFFunctionTest, UnknownTypesAreNotEvaluated)
{
    for (const char* type : {"1", "5", "-1"}) {
        auto function = Function(QByteArray("<< /FunctionType ") + type + " /Domain [0 1] /Range [0 1] >>");
        const double input = 0.5;
        EXPECT_FALSE(function->Evaluate(&input, 1)) << type;
    }
    EXPECT_EQ(LoadPDFFunction(objects.parse("[0 1]")), nullptr);
}
