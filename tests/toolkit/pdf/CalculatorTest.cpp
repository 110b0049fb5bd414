#include "TestPDFObjects.h"

#include "toolkit/pdf/CalculatorStack.h"
#include "toolkit/pdf/PDFFunction.h"
#include "toolkit/pdf/PostScriptCalculator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// Runs a program over inputs and returns the stack it leaves (bottom first); nullopt when the run
// broke a rule.
struct RunResult {
    bool built = false;
    bool finished = false;
    std::vector<StackItem> items;
};

RunResult RunProgram(const std::string& text, const std::vector<double>& inputs = {})
{
    RunResult result;
    PostScriptCalculator program(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    result.built = program.Build();
    if (!result.built)
        return result;
    CalculatorStack stack;
    for (double input : inputs)
        stack.pushReal(input);
    result.finished = PostScriptCalculator::Execute(stack, program.nodes());
    for (int i = stack.depth() - 1; i >= 0; --i)
        result.items.push_back(stack.fromTop(i));
    return result;
}

const StackItem& Top(const RunResult& result)
{
    return result.items.back();
}

// A type 4 function over the program with Domain (0 1) per input and the given Range.
std::unique_ptr<PDFFunction> Calculator(TestPDFObjects& objects, const QByteArray& program, int inputs,
                                        const QByteArray& range)
{
    QByteArray domain;
    for (int i = 0; i < inputs; ++i)
        domain += "0 1 ";
    static int number = 10;
    ++number;
    objects.addStream(number, "/FunctionType 4 /Domain [" + domain + "] /Range [" + range + "]", program);
    return LoadPDFFunction(objects.object(number));
}

std::vector<double> Evaluate(PDFFunction& function, const std::vector<double>& inputs)
{
    EXPECT_TRUE(function.Evaluate(inputs.data(), static_cast<int>(inputs.size())));
    return std::vector<double>(function.outputs(), function.outputs() + function.outputCount());
}

} // namespace

TEST(CalculatorTest, OperatorTableIsSearchable)
{
    EXPECT_EQ(PostScriptCalculator::LookupOperator("abs"), 0);
    EXPECT_EQ(PostScriptCalculator::LookupOperator("ifelse"), 21);
    EXPECT_EQ(PostScriptCalculator::LookupOperator("xor"), 41);
    EXPECT_EQ(PostScriptCalculator::LookupOperator("foo"), -1);
    EXPECT_EQ(PostScriptCalculator::LookupOperator("Abs"), -1);
    EXPECT_EQ(PostScriptCalculator::LookupOperator("zzz"), -1);
}

TEST(CalculatorTest, ArithmeticKeepsIntegersAndReals)
{
    EXPECT_EQ(Top(RunProgram("{ 3 2 idiv }")).kind, StackItem::Integer);
    EXPECT_EQ(Top(RunProgram("{ 3 2 idiv }")).integerValue, 1);
    EXPECT_EQ(Top(RunProgram("{ -7 2 mod }")).integerValue, -1);
    EXPECT_EQ(Top(RunProgram("{ 2.5 round }")).kind, StackItem::Real);
    EXPECT_DOUBLE_EQ(Top(RunProgram("{ 2.5 round }")).realValue, 3.0);
    EXPECT_DOUBLE_EQ(Top(RunProgram("{ -2.5 round }")).realValue, -3.0);
    EXPECT_DOUBLE_EQ(Top(RunProgram("{ -2.7 truncate }")).realValue, -2.0);
    EXPECT_DOUBLE_EQ(Top(RunProgram("{ 0 1 atan }")).realValue, 0.0);
    EXPECT_NEAR(Top(RunProgram("{ 1 0 atan }")).realValue, 89.99999998, 1e-8);
    EXPECT_EQ(Top(RunProgram("{ 1 3 bitshift }")).integerValue, 8);
    EXPECT_EQ(Top(RunProgram("{ 8 -3 bitshift }")).integerValue, 1);
    EXPECT_EQ(Top(RunProgram("{ 7 2 sub }")).integerValue, 5);
    EXPECT_EQ(Top(RunProgram("{ 7 2.0 sub }")).kind, StackItem::Real);
    EXPECT_EQ(Top(RunProgram("{ 3.7 cvi }")).integerValue, 3);
    EXPECT_EQ(Top(RunProgram("{ 5 not }")).integerValue, ~int64_t(5));
    EXPECT_TRUE(Top(RunProgram("{ 1 2 lt }")).booleanValue);
    EXPECT_TRUE(Top(RunProgram("{ true false xor }")).booleanValue);
    EXPECT_EQ(Top(RunProgram("{ 1 2 3 3 1 roll }")).integerValue, 2);
    EXPECT_EQ(Top(RunProgram("{ 1 2 3 1 index }")).integerValue, 2);
    EXPECT_EQ(RunProgram("{ 1 2 2 copy }").items.size(), 4u);
    // 1e5 is no exponent: the integer 1, the unknown name e (skipped) and the integer 5.
    EXPECT_EQ(RunProgram("{ 1e5 }").items.size(), 2u);
}

TEST(CalculatorTest, IntegerResultsBeyond64BitsBecomeReals)
{
    const RunResult product = RunProgram("{ 2147483647 dup mul dup mul }");
    ASSERT_TRUE(product.finished);
    EXPECT_EQ(Top(product).kind, StackItem::Real);
    EXPECT_NEAR(Top(product).realValue, std::pow(2147483647.0, 4), 1e60);
    // A literal beyond 32 bits reads as a real.
    EXPECT_EQ(Top(RunProgram("{ 99999999999 }")).kind, StackItem::Real);
}

TEST(CalculatorTest, SpacingAndStructure)
{
    const RunResult tabs = RunProgram("{\t1\t2\tadd\t}");
    const RunResult spaces = RunProgram("{ 1 2 add }");
    ASSERT_EQ(tabs.items.size(), 1u);
    EXPECT_EQ(Top(tabs).integerValue, Top(spaces).integerValue);
    // abs2 reads as abs followed by 2.
    EXPECT_EQ(Top(RunProgram("{ -3 abs2 }")).integerValue, 2);
    // A malformed if empties its block: the program is empty and the inputs stay.
    const RunResult malformed = RunProgram("{ 5 { 1 } 2 }", {0.25});
    EXPECT_TRUE(malformed.built);
    ASSERT_EQ(malformed.items.size(), 1u);
    // Text that does not begin with "{" is an empty program.
    EXPECT_TRUE(RunProgram("1 2 add").built);
    EXPECT_TRUE(RunProgram("1 2 add").items.empty());
}

TEST(CalculatorTest, TextThatIsNoProgramIsRejected)
{
    EXPECT_FALSE(RunProgram("{ 1 + 2 }").built); // a byte that begins no token
    EXPECT_FALSE(RunProgram("{ 1 (a) }").built);
    EXPECT_FALSE(RunProgram("{ 1 2 \xc3\xa9 }").built); // bytes above 127
    EXPECT_FALSE(RunProgram("{ 1 2 add").built);        // text ends before "}"
    EXPECT_FALSE(RunProgram("{ 1 { 2 } { 3 ").built);
    EXPECT_FALSE(RunProgram("{ " + std::string(100, 'a') + " }").built);
    EXPECT_TRUE(RunProgram("{ " + std::string(99, 'a') + " }").built);
    EXPECT_FALSE(RunProgram("{ " + std::string(100, '1') + " }").built);
    std::string deep = "{ true ";
    for (int i = 0; i < 200; ++i)
        deep += "{ true ";
    for (int i = 0; i < 200; ++i)
        deep += "} if ";
    deep += "pop }";
    EXPECT_FALSE(RunProgram(deep).built);
    EXPECT_FALSE(RunProgram(std::string("{ 1 \0 }", 8).substr(0, 5)).built);
}

TEST(CalculatorTest, RunsThatBreakARuleEnd)
{
    EXPECT_FALSE(RunProgram("{ 1 0 idiv }").finished);
    EXPECT_FALSE(RunProgram("{ 1 0 mod }").finished);
    EXPECT_FALSE(RunProgram("{ 1 2.5 idiv }").finished); // the divisor slot never filled
    EXPECT_FALSE(RunProgram("{ -2147483648 dup mul -2 mul -1 idiv }").finished);
    EXPECT_FALSE(RunProgram("{ -2147483648 dup mul -2 mul -1 mod }").finished);
    EXPECT_FALSE(RunProgram("{ 99999999999999999999.0 cvi }").finished);
    EXPECT_FALSE(RunProgram("{ 1 0 div cvi }").finished);
    std::string overflow = "{ ";
    for (int i = 0; i < 101; ++i)
        overflow += "1 ";
    EXPECT_FALSE(RunProgram(overflow + "}").finished);
    EXPECT_FALSE(RunProgram("{ 1 1 copy 2 copy 4 copy 8 copy 16 copy 32 copy 64 copy }").finished);
    // Divisions by zero in real arithmetic follow IEEE and go on.
    EXPECT_TRUE(std::isinf(Top(RunProgram("{ 1 0 div }")).realValue));
}

// Missing operands and operands of the wrong kind are not popped: the slot keeps its value (zero at
// the start of the block run) and the operator still runs; counts out of range do nothing.
TEST(CalculatorTest, MissingOperandsFollowTheSlotRule)
{
    const RunResult add = RunProgram("{ add }");
    ASSERT_TRUE(add.finished);
    ASSERT_EQ(add.items.size(), 1u);
    EXPECT_EQ(Top(add).kind, StackItem::Real);
    EXPECT_EQ(Top(add).realValue, 0.0);
    const RunResult sub = RunProgram("{ 5 sub }");
    ASSERT_EQ(sub.items.size(), 1u);
    EXPECT_EQ(Top(sub).realValue, -5.0); // R1 stays 0: 0 - 5
    EXPECT_EQ(RunProgram("{ 1 pop pop }").items.size(), 0u);
    const RunResult wrongKind = RunProgram("{ true 2 add }");
    ASSERT_EQ(wrongKind.items.size(), 2u);
    EXPECT_EQ(wrongKind.items[0].kind, StackItem::Boolean);
    EXPECT_EQ(Top(wrongKind).realValue, 2.0);
    EXPECT_EQ(RunProgram("{ 1 5 copy }").items.size(), 1u);
    EXPECT_EQ(RunProgram("{ 1 2 5 index }").items.size(), 2u);
    const RunResult roll = RunProgram("{ 1 2 3 roll }");
    ASSERT_TRUE(roll.finished);
    EXPECT_EQ(roll.items.size(), 1u); // 3 and 2 popped as j and n, then roll (2, 3) of one item: nothing
    const RunResult sqrt = RunProgram("{ sqrt }");
    ASSERT_EQ(sqrt.items.size(), 1u);
    EXPECT_EQ(Top(sqrt).realValue, 0.0);
}

TEST(CalculatorTest, OutOfRangeCountsAreDefined)
{
    EXPECT_EQ(Top(RunProgram("{ 1 64 bitshift }")).integerValue, 0);
    EXPECT_EQ(Top(RunProgram("{ 1 2147483647 bitshift }")).integerValue, 0);
    EXPECT_EQ(Top(RunProgram("{ -1 -32 bitshift }")).integerValue, 0);
    EXPECT_EQ(Top(RunProgram("{ -1 -31 bitshift }")).integerValue, 1);
    EXPECT_EQ(Top(RunProgram("{ -1 -2147483648 bitshift }")).integerValue, 0);
    // A roll by two billion places ends at once, rotated by the remainder.
    const RunResult rolled = RunProgram("{ 1 2 3 3 2000000000 roll }");
    ASSERT_TRUE(rolled.finished);
    EXPECT_EQ(Top(rolled).integerValue, 1);
    EXPECT_EQ(RunProgram("{ 1 2 -1 copy }").items.size(), 2u);
    EXPECT_EQ(Top(RunProgram("{ -2147483648 abs }")).integerValue, 2147483648);
}

TEST(CalculatorTest, FunctionOutputs)
{
    TestPDFObjects objects;
    auto twice = Calculator(objects, "{ 2 mul }", 1, "0 1");
    EXPECT_DOUBLE_EQ(Evaluate(*twice, {0.25})[0], 0.5);
    auto clipped = Calculator(objects, "{ 2 mul }", 1, "0 0.4");
    EXPECT_DOUBLE_EQ(Evaluate(*clipped, {0.25})[0], 0.4);
    auto threshold = Calculator(objects, "{ dup 0.5 gt { pop 1 } { pop 0 } ifelse }", 1, "0 1");
    EXPECT_DOUBLE_EQ(Evaluate(*threshold, {0.7})[0], 1.0);
    EXPECT_DOUBLE_EQ(Evaluate(*threshold, {0.3})[0], 0.0);
    auto inverse = Calculator(objects, "{ 1 exch sub }", 1, "0 1");
    EXPECT_DOUBLE_EQ(Evaluate(*inverse, {0.2})[0], 0.8);
    auto unknown = Calculator(objects, "{ foo 1 }", 1, "0 1 0 1");
    EXPECT_EQ(Evaluate(*unknown, {0.3}), (std::vector<double>{0.3, 1.0}));
    auto empty = Calculator(objects, "{ }", 2, "0 1 0 0.5");
    EXPECT_EQ(Evaluate(*empty, {0.3, 0.9}), (std::vector<double>{0.3, 0.5}));
}

// The values left give the first outputs; outputs beyond them, and every output of a run that had
// to stop, are zero clipped to their Range whatever the evaluation before gave: results never depend
// on the previous pixel.
TEST(CalculatorTest, ShortAndBrokenRunsGiveClippedZeros)
{
    TestPDFObjects objects;
    auto pop = Calculator(objects, "{ pop }", 2, "0 1 0.2 1");
    EXPECT_EQ(Evaluate(*pop, {0.6, 0.7}), (std::vector<double>{0.6, 0.2}));
    auto missing = Calculator(objects, "{ pop pop add }", 2, "0 1 0 1");
    EXPECT_EQ(Evaluate(*missing, {0.6, 0.7}), (std::vector<double>{0.0, 0.0}));
    auto three = Calculator(objects, "{ 0.5 }", 1, "0 1 0 1 0.25 1");
    EXPECT_EQ(Evaluate(*three, {0.75}), (std::vector<double>{0.75, 0.5, 0.25}));
    auto boolean = Calculator(objects, "{ pop true 0.4 }", 1, "0 1 0 1");
    EXPECT_EQ(Evaluate(*boolean, {0.9}), (std::vector<double>{0.0, 0.0})); // the boolean bottom is read twice
    auto divide = Calculator(objects, "{ 255 mul cvi dup 0 eq { pop 1.5 } { 1 exch idiv 1 add } ifelse }", 1,
                             "0.1 1");
    EXPECT_DOUBLE_EQ(Evaluate(*divide, {0.5})[0], 1.0);
    EXPECT_DOUBLE_EQ(Evaluate(*divide, {0.0})[0], 1.0);
    auto zeroDivisor = Calculator(objects, "{ cvi 0 idiv }", 1, "0.1 1");
    EXPECT_DOUBLE_EQ(Evaluate(*zeroDivisor, {0.5})[0], 0.1);
    auto nan = Calculator(objects, "{ pop -1 sqrt }", 1, "-1 1");
    EXPECT_DOUBLE_EQ(Evaluate(*nan, {0.5})[0], 0.0);
}

TEST(CalculatorTest, RejectedProgramsYieldNothing)
{
    TestPDFObjects objects;
    auto unterminated = Calculator(objects, "{ 2 mul", 1, "0 1");
    ASSERT_TRUE(unterminated);
    EXPECT_FALSE(unterminated->isUsable());
    const double input = 0.5;
    EXPECT_FALSE(unterminated->Evaluate(&input, 1));
    auto plus = Calculator(objects, "{ 2 +1 }", 1, "0 1");
    EXPECT_FALSE(plus->isUsable());
}
