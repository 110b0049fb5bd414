#include "toolkit/pdf/CalculatorStack.h"
#include "toolkit/pdf/PostScriptCalculator.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr double kDegreesPerRadian = 57.2957795;

// The operand slots of one block run: an operand that is missing or of the wrong kind is not popped,
// its slot keeps the value it had, and the operator runs with it.
struct Slots {
    double r1 = 0.0;
    double r2 = 0.0;
    int64_t i1 = 0;
    int64_t i2 = 0;
    bool b1 = false;
    bool b2 = false;
};

using Op = PostScriptCalculator::Operator;

// Integer arithmetic whose result leaves 64 bits becomes real arithmetic, as in PostScript.
bool IntegerArithmetic(CalculatorStack& stack, Slots& s, int32_t op)
{
    stack.popInteger(s.i2);
    stack.popInteger(s.i1);
    int64_t result = 0;
    bool overflow = false;
    double real = 0.0;
    if (op == Op::Add) {
        overflow = __builtin_add_overflow(s.i1, s.i2, &result);
        real = static_cast<double>(s.i1) + static_cast<double>(s.i2);
    } else if (op == Op::Sub) {
        overflow = __builtin_sub_overflow(s.i1, s.i2, &result);
        real = static_cast<double>(s.i1) - static_cast<double>(s.i2);
    } else {
        overflow = __builtin_mul_overflow(s.i1, s.i2, &result);
        real = static_cast<double>(s.i1) * static_cast<double>(s.i2);
    }
    return overflow ? stack.pushReal(real) : stack.pushInteger(result);
}

bool RealArithmetic(CalculatorStack& stack, Slots& s, int32_t op)
{
    stack.popNumber(s.r2);
    stack.popNumber(s.r1);
    switch (op) {
    case Op::Add: return stack.pushReal(s.r1 + s.r2);
    case Op::Sub: return stack.pushReal(s.r1 - s.r2);
    case Op::Mul: return stack.pushReal(s.r1 * s.r2);
    case Op::Div: return stack.pushReal(s.r1 / s.r2);
    case Op::Exp: return stack.pushReal(std::pow(s.r1, s.r2));
    default: return stack.pushReal(std::atan2(s.r1, s.r2) * kDegreesPerRadian);
    }
}

// idiv and mod: a zero divisor (also one that was never popped) and the one quotient that does not
// fit, the most negative integer by -1, end the run.
bool IntegerDivision(CalculatorStack& stack, Slots& s, int32_t op)
{
    stack.popInteger(s.i2);
    stack.popInteger(s.i1);
    if (s.i2 == 0 || (s.i1 == std::numeric_limits<int64_t>::min() && s.i2 == -1))
        return false;
    return stack.pushInteger(op == Op::Idiv ? s.i1 / s.i2 : s.i1 % s.i2);
}

bool UnaryNumber(CalculatorStack& stack, Slots& s, int32_t op)
{
    const bool integer = stack.topIsInteger();
    if (integer && (op == Op::Ceiling || op == Op::Floor || op == Op::Cvi))
        return true;
    if (integer && (op == Op::Abs || op == Op::Neg)) {
        const int64_t value = stack.top().integerValue;
        stack.discardTop();
        if (value == std::numeric_limits<int64_t>::min())
            return stack.pushReal(-static_cast<double>(value));
        return stack.pushInteger(op == Op::Neg ? -value : std::llabs(value));
    }
    if (op == Op::Cvr && stack.topIsReal())
        return true;
    stack.popNumber(s.r1);
    const double x = s.r1;
    switch (op) {
    case Op::Abs: return stack.pushReal(std::fabs(x));
    case Op::Neg: return stack.pushReal(-x);
    case Op::Ceiling: return stack.pushReal(std::ceil(x));
    case Op::Floor: return stack.pushReal(std::floor(x));
    case Op::Round: return stack.pushReal(x > 0 ? std::floor(x + 0.5) : std::ceil(x - 0.5));
    case Op::Truncate: return stack.pushReal(x > 0 ? std::floor(x) : std::ceil(x));
    case Op::Cvr: return stack.pushReal(x);
    case Op::Sqrt: return stack.pushReal(std::sqrt(x));
    case Op::Ln: return stack.pushReal(std::log(x));
    case Op::Log: return stack.pushReal(std::log10(x));
    case Op::Sin: return stack.pushReal(std::sin(x / kDegreesPerRadian));
    case Op::Cos: return stack.pushReal(std::cos(x / kDegreesPerRadian));
    default: {
        // cvi: a real that no integer can hold (NaN, infinity, beyond 64 bits) ends the run.
        const double truncated = std::trunc(x);
        if (!(truncated >= -9.2233720368547758e18 && truncated < 9.2233720368547758e18))
            return false;
        return stack.pushInteger(static_cast<int64_t>(truncated));
    }
    }
}

bool Comparison(CalculatorStack& stack, Slots& s, int32_t op)
{
    bool result = false;
    if (stack.topTwoAreIntegers()) {
        stack.popInteger(s.i2);
        stack.popInteger(s.i1);
        switch (op) {
        case Op::Eq: result = s.i1 == s.i2; break;
        case Op::Ne: result = s.i1 != s.i2; break;
        case Op::Gt: result = s.i1 > s.i2; break;
        case Op::Ge: result = s.i1 >= s.i2; break;
        case Op::Lt: result = s.i1 < s.i2; break;
        default: result = s.i1 <= s.i2; break;
        }
    } else if ((op == Op::Eq || op == Op::Ne) && !stack.topTwoAreNumbers()) {
        stack.popBoolean(s.b1);
        stack.popBoolean(s.b2);
        result = (op == Op::Eq) == (s.b1 == s.b2);
    } else {
        stack.popNumber(s.r2);
        stack.popNumber(s.r1);
        switch (op) {
        case Op::Eq: result = s.r1 == s.r2; break;
        case Op::Ne: result = s.r1 != s.r2; break;
        case Op::Gt: result = s.r1 > s.r2; break;
        case Op::Ge: result = s.r1 >= s.r2; break;
        case Op::Lt: result = s.r1 < s.r2; break;
        default: result = s.r1 <= s.r2; break;
        }
    }
    return stack.pushBoolean(result);
}

bool Logic(CalculatorStack& stack, Slots& s, int32_t op)
{
    if (stack.topTwoAreIntegers()) {
        stack.popInteger(s.i2);
        stack.popInteger(s.i1);
        const int64_t result = op == Op::And ? (s.i1 & s.i2) : op == Op::Or ? (s.i1 | s.i2)
                                                                            : (s.i1 ^ s.i2);
        return stack.pushInteger(result);
    }
    stack.popBoolean(s.b1);
    stack.popBoolean(s.b2);
    const bool result = op == Op::And ? (s.b2 && s.b1) : op == Op::Or ? (s.b1 || s.b2)
                                                                      : (s.b2 != s.b1);
    return stack.pushBoolean(result);
}

bool Not(CalculatorStack& stack, Slots& s)
{
    if (stack.topIsBoolean()) {
        stack.popBoolean(s.b2);
        return stack.pushBoolean(!s.b2);
    }
    if (stack.topIsInteger()) {
        stack.fromTop(0).integerValue = ~stack.top().integerValue;
        return true;
    }
    return stack.pushBoolean(!s.b2);
}

// Shifts that move every bit out give 0 instead of an undefined shift.
bool Bitshift(CalculatorStack& stack, Slots& s)
{
    stack.popInteger(s.i2);
    stack.popInteger(s.i1);
    const int64_t shift = s.i2;
    if (shift > 0)
        return stack.pushInteger(shift >= 64 ? 0 : static_cast<int64_t>(static_cast<uint64_t>(s.i1) << shift));
    if (shift < 0) {
        const uint32_t low = static_cast<uint32_t>(s.i1);
        return stack.pushInteger(shift <= -32 ? 0 : static_cast<int64_t>(low >> -shift));
    }
    return stack.pushInteger(s.i1);
}

bool Conditional(CalculatorStack& stack, Slots& s, const CalculatorNode& node)
{
    stack.popBoolean(s.b2);
    if (s.b2)
        return PostScriptCalculator::Execute(stack, node.thenBlock);
    if (node.operatorIndex == Op::Ifelse) {
        s.b2 = false;
        return PostScriptCalculator::Execute(stack, node.elseBlock);
    }
    s.b2 = false;
    return true;
}

bool RunOperator(CalculatorStack& stack, Slots& s, const CalculatorNode& node)
{
    const int32_t op = node.operatorIndex;
    switch (op) {
    case Op::Add:
    case Op::Sub:
    case Op::Mul:
        return stack.topTwoAreIntegers() ? IntegerArithmetic(stack, s, op) : RealArithmetic(stack, s, op);
    case Op::Div:
    case Op::Exp:
    case Op::Atan:
        return RealArithmetic(stack, s, op);
    case Op::Idiv:
    case Op::Mod:
        return IntegerDivision(stack, s, op);
    case Op::Eq:
    case Op::Ne:
    case Op::Gt:
    case Op::Ge:
    case Op::Lt:
    case Op::Le:
        return Comparison(stack, s, op);
    case Op::And:
    case Op::Or:
    case Op::Xor:
        return Logic(stack, s, op);
    case Op::Not:
        return Not(stack, s);
    case Op::Bitshift:
        return Bitshift(stack, s);
    case Op::True:
    case Op::False:
        return stack.pushBoolean(op == Op::True);
    case Op::Pop:
        stack.discardTop();
        return true;
    case Op::Dup:
        return stack.copy(1);
    case Op::Exch:
        return stack.roll(2, 1);
    case Op::Copy:
        stack.popInteger(s.i1);
        return stack.copy(s.i1);
    case Op::Index:
        stack.popInteger(s.i1);
        return stack.index(s.i1);
    case Op::Roll:
        stack.popInteger(s.i2);
        stack.popInteger(s.i1);
        return stack.roll(s.i1, s.i2);
    case Op::If:
    case Op::Ifelse:
        return Conditional(stack, s, node);
    default:
        return UnaryNumber(stack, s, op);
    }
}

} // namespace

bool PostScriptCalculator::Execute(CalculatorStack& stack, const std::vector<CalculatorNode>& list)
{
    Slots slots;
    for (const CalculatorNode& node : list) {
        bool fine = true;
        if (node.kind == CalculatorNode::Integer)
            fine = stack.pushInteger(node.integerValue);
        else if (node.kind == CalculatorNode::Real)
            fine = stack.pushReal(node.realValue);
        else if (node.kind == CalculatorNode::Operator && node.operatorIndex >= 0 && node.operatorIndex < kOperatorCount)
            fine = RunOperator(stack, slots, node);
        if (!fine)
            return false;
    }
    return true;
}
