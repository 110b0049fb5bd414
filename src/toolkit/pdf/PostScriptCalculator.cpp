#include "toolkit/pdf/PostScriptCalculator.h"

#include <array>
#include <charconv>
#include <cstring>

namespace {

// Sorted in ascending byte order: LookupOperator searches it by halves.
constexpr std::array<const char*, PostScriptCalculator::kOperatorCount> kOperatorNames = {
    "abs", "add", "and", "atan", "bitshift", "ceiling", "copy", "cos", "cvi", "cvr", "div", "dup", "eq", "exch",
    "exp", "false", "floor", "ge", "gt", "idiv", "if", "ifelse", "index", "le", "ln", "log", "lt", "mod", "mul",
    "ne", "neg", "not", "or", "pop", "roll", "round", "sin", "sqrt", "sub", "true", "truncate", "xor"};

bool IsWhiteSpace(uint8_t byte)
{
    return byte == 0 || byte == 9 || byte == 10 || byte == 12 || byte == 13 || byte == 32;
}

bool IsLetter(uint8_t byte)
{
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

bool IsNumberByte(uint8_t byte)
{
    return (byte >= '0' && byte <= '9') || byte == '-' || byte == '.';
}

} // namespace

PostScriptCalculator::PostScriptCalculator(const uint8_t* text, size_t length)
    : m_text(text)
    , m_length(text ? length : 0)
{
}

int32_t PostScriptCalculator::LookupOperator(const char* name)
{
    int low = 0;
    int high = kOperatorCount - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const int order = std::strcmp(name, kOperatorNames[static_cast<size_t>(middle)]);
        if (order == 0)
            return middle;
        if (order > 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return -1;
}

PostScriptCalculator::Token PostScriptCalculator::NextToken(CalculatorNode& node)
{
    while (m_position < m_length && IsWhiteSpace(m_text[m_position]))
        ++m_position;
    if (m_position >= m_length)
        return EndOfText;
    const uint8_t byte = m_text[m_position];
    if (byte == '}' || byte == '{') {
        ++m_position;
        return byte == '}' ? CloseBrace : OpenBrace;
    }
    if (IsLetter(byte))
        return ReadName(node);
    if (IsNumberByte(byte))
        return ReadNumber(node);
    // No token begins with this byte; skipping it silently would run a different program.
    return Invalid;
}

PostScriptCalculator::Token PostScriptCalculator::ReadName(CalculatorNode& node)
{
    char buffer[kTokenBufferSize];
    size_t used = 0;
    while (m_position < m_length && IsLetter(m_text[m_position])) {
        if (used + 1 >= kTokenBufferSize)
            return Invalid;
        buffer[used++] = static_cast<char>(m_text[m_position++]);
    }
    buffer[used] = '\0';
    node.kind = CalculatorNode::Operator;
    node.operatorIndex = LookupOperator(buffer);
    return OperatorToken;
}

PostScriptCalculator::Token PostScriptCalculator::ReadNumber(CalculatorNode& node)
{
    char buffer[kTokenBufferSize];
    size_t used = 0;
    bool hasPoint = false;
    while (m_position < m_length && IsNumberByte(m_text[m_position])) {
        if (used + 1 >= kTokenBufferSize)
            return Invalid;
        hasPoint = hasPoint || m_text[m_position] == '.';
        buffer[used++] = static_cast<char>(m_text[m_position++]);
    }
    buffer[used] = '\0';
    // Like atoi and atof, the longest leading number counts and a run without one reads as 0; unlike
    // them the result does not depend on the process's locale.
    if (!hasPoint) {
        int64_t value = 0;
        const auto result = std::from_chars(buffer, buffer + used, value);
        if (result.ec == std::errc() && value >= INT32_MIN && value <= INT32_MAX) {
            node.kind = CalculatorNode::Integer;
            node.integerValue = value;
            return IntegerToken;
        }
        if (result.ec == std::errc::invalid_argument) {
            node.kind = CalculatorNode::Integer;
            node.integerValue = 0;
            return IntegerToken;
        }
        // An integer beyond 32 bits reads as a real, as PostScript has it.
    }
    double value = 0.0;
    std::from_chars(buffer, buffer + used, value);
    node.kind = CalculatorNode::Real;
    node.realValue = value;
    return RealToken;
}

bool PostScriptCalculator::Build()
{
    m_nodes.clear();
    m_position = 0;
    CalculatorNode first;
    const Token token = NextToken(first);
    if (token == Invalid)
        return false;
    if (token != OpenBrace)
        return true;
    if (ParseBlock(m_nodes, 1) == ParseResult::Rejected) {
        m_nodes.clear();
        return false;
    }
    return true;
}

PostScriptCalculator::ParseResult PostScriptCalculator::ParseBlock(std::vector<CalculatorNode>& list, int depth)
{
    for (;;) {
        CalculatorNode node;
        switch (NextToken(node)) {
        case CloseBrace:
            return ParseResult::Complete;
        case IntegerToken:
        case RealToken:
        case OperatorToken:
            list.push_back(std::move(node));
            break;
        case OpenBrace: {
            if (depth >= kMaxNesting)
                return ParseResult::Rejected;
            const ParseResult result = ParseConditional(list, depth + 1);
            if (result != ParseResult::Complete)
                return result;
            break;
        }
        case Invalid:
        case EndOfText:
            return ParseResult::Rejected;
        }
    }
}

// Reads "{ ... } if" or "{ ... } { ... } ifelse" after its opening brace and appends the operator
// node. Any other shape empties the list being built and ends its parse (Malformed).
PostScriptCalculator::ParseResult PostScriptCalculator::ParseConditional(std::vector<CalculatorNode>& list,
                                                                         int depth)
{
    CalculatorNode node;
    if (ParseBlock(node.thenBlock, depth) == ParseResult::Rejected)
        return ParseResult::Rejected;
    CalculatorNode next;
    Token token = NextToken(next);
    if (token == Invalid || token == EndOfText)
        return ParseResult::Rejected;
    if (token == OperatorToken && next.operatorIndex == If) {
        node.kind = CalculatorNode::Operator;
        node.operatorIndex = If;
        list.push_back(std::move(node));
        return ParseResult::Complete;
    }
    if (token == OpenBrace) {
        if (ParseBlock(node.elseBlock, depth) == ParseResult::Rejected)
            return ParseResult::Rejected;
        token = NextToken(next);
        if (token == Invalid || token == EndOfText)
            return ParseResult::Rejected;
        if (token == OperatorToken && next.operatorIndex == Ifelse) {
            node.kind = CalculatorNode::Operator;
            node.operatorIndex = Ifelse;
            list.push_back(std::move(node));
            return ParseResult::Complete;
        }
    }
    list.clear();
    return ParseResult::Malformed;
}
