// A stitching function at its bounds: a part of the domain holds its lower bound, and the last
// part its upper one too; and exponential functions of negative inputs.

#include "toolkit/pdf/TestPDFObjects.h"

#include "toolkit/pdf/PDFFunction.h"

#include <gtest/gtest.h>

namespace {

double at(PDFFunction& function, double x)
{
    EXPECT_TRUE(function.Evaluate(&x, 1));
    return function.outputs()[0];
}

} // namespace

TEST(StitchingBounds, AValueOnABoundBelongsToThePartAboveIt)
{
    TestPDFObjects objects;
    // 0 to 1 on [0, 1), then 10 to 11 on [1, 2), then 20 to 21 on [2, 3].
    const auto function = LoadPDFFunction(
        objects.parse("<< /FunctionType 3 /Domain [0 3] /Bounds [1 2] /Encode [0 1 0 1 0 1] /Functions ["
                      "<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >> "
                      "<< /FunctionType 2 /Domain [0 1] /C0 [10] /C1 [11] /N 1 >> "
                      "<< /FunctionType 2 /Domain [0 1] /C0 [20] /C1 [21] /N 1 >>] >>"));
    ASSERT_TRUE(function->isUsable());
    EXPECT_DOUBLE_EQ(at(*function, 0), 0);
    EXPECT_DOUBLE_EQ(at(*function, 1), 10);
    EXPECT_DOUBLE_EQ(at(*function, 1.5), 10.5);
    EXPECT_DOUBLE_EQ(at(*function, 2), 20);
    EXPECT_DOUBLE_EQ(at(*function, 3), 21);
    EXPECT_DOUBLE_EQ(at(*function, 0.999), 0.999);
}

TEST(StitchingBounds, EncodeMapsEachPartFromItsOwnBounds)
{
    TestPDFObjects objects;
    // The second part runs from 4 to 8 and is mapped onto [1, 0]: x = 5 is a quarter in.
    const auto function = LoadPDFFunction(
        objects.parse("<< /FunctionType 3 /Domain [0 8] /Bounds [4] /Encode [0 1 1 0] /Functions ["
                      "<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >> "
                      "<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >>] >>"));
    ASSERT_TRUE(function->isUsable());
    EXPECT_DOUBLE_EQ(at(*function, 5), 0.75);
    EXPECT_DOUBLE_EQ(at(*function, 4), 1);
    EXPECT_DOUBLE_EQ(at(*function, 2), 0.5);
}

TEST(StitchingBounds, APartOfNoWidthTakesTheStartOfItsEncodePair)
{
    TestPDFObjects objects;
    // The last part is [1, 1]: x = 1 maps to the first value of its Encode pair.
    const auto function = LoadPDFFunction(
        objects.parse("<< /FunctionType 3 /Domain [0 1] /Bounds [1] /Encode [0 1 0.25 0.75] /Functions ["
                      "<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >> "
                      "<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >>] >>"));
    ASSERT_TRUE(function->isUsable());
    EXPECT_DOUBLE_EQ(at(*function, 1), 0.25);
}

TEST(ExponentialInputs, NegativeInputsAreTakenToWholePowers)
{
    TestPDFObjects objects;
    const auto square = LoadPDFFunction(objects.parse("<< /FunctionType 2 /Domain [-1 1] /C0 [0] /C1 [1] /N 2 >>"));
    EXPECT_DOUBLE_EQ(at(*square, -0.5), 0.25);
    const auto cube = LoadPDFFunction(objects.parse("<< /FunctionType 2 /Domain [-1 1] /C0 [0] /C1 [1] /N 3 >>"));
    EXPECT_DOUBLE_EQ(at(*cube, -0.5), -0.125);
    // A root of a negative number has no real value: the input is taken as 0.
    const auto root = LoadPDFFunction(objects.parse("<< /FunctionType 2 /Domain [-1 1] /C0 [0] /C1 [1] /N 0.5 >>"));
    EXPECT_DOUBLE_EQ(at(*root, -0.25), 0);
    EXPECT_DOUBLE_EQ(at(*root, 0.25), 0.5);
}
