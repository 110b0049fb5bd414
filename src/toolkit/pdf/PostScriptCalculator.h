#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CalculatorStack;

// One element of a calculator program: a number, or an operator whose if/ifelse blocks it owns.
struct CalculatorNode {
    enum Kind : int32_t {
        None = 0,
        Integer = 1,
        Real = 2,
        Operator = 3
    };

    double realValue = 0.0;
    int64_t integerValue = 0;
    std::vector<CalculatorNode> thenBlock;
    std::vector<CalculatorNode> elseBlock;
    Kind kind = None;
    int32_t operatorIndex = -1;
};

// A type 4 (PostScript calculator) function's program, read once from its text into a tree of
// nodes and run for each evaluation. The text comes from untrusted files: anything that is not a
// well-formed program (a byte that begins no token, a token longer than the token buffer, text that
// ends before its closing brace, blocks nested deeper than kMaxNesting) rejects the whole program,
// and a run that cannot go on (see Execute) ends with an error.
class PostScriptCalculator {
public:
    enum Token : int32_t {
        Invalid = 0,
        IntegerToken = 1,
        RealToken = 2,
        OperatorToken = 3,
        OpenBrace = 4,
        CloseBrace = 5,
        EndOfText = 6
    };
    static constexpr int kMaxNesting = 100;
    static constexpr size_t kTokenBufferSize = 100;
    static constexpr int kOperatorCount = 42;
    enum Operator : int32_t {
        Abs,
        Add,
        And,
        Atan,
        Bitshift,
        Ceiling,
        Copy,
        Cos,
        Cvi,
        Cvr,
        Div,
        Dup,
        Eq,
        Exch,
        Exp,
        False,
        Floor,
        Ge,
        Gt,
        Idiv,
        If,
        Ifelse,
        Index,
        Le,
        Ln,
        Log,
        Lt,
        Mod,
        Mul,
        Ne,
        Neg,
        Not,
        Or,
        Pop,
        Roll,
        Round,
        Sin,
        Sqrt,
        Sub,
        True,
        Truncate,
        Xor
    };

    // The text is borrowed and must outlive the calculator.
    PostScriptCalculator(const uint8_t* text, size_t length);

    // Reads the program. Returns false (and keeps no nodes) when the text is not a program; a text
    // whose first token is not "{" gives an empty program, as before.
    bool Build();

    const std::vector<CalculatorNode>& nodes() const { return m_nodes; }

    Token NextToken(CalculatorNode& node);
    static int32_t LookupOperator(const char* name);

    // Runs one block. An operand that is missing or of the wrong kind is not popped and the operator
    // runs with its slot's value. Returns false when the run cannot go on: the stack overflows, idiv
    // or mod divide by zero, a result does not fit an integer.
    static bool Execute(CalculatorStack& stack, const std::vector<CalculatorNode>& list);

private:
    enum class ParseResult {
        Complete,
        Malformed,
        Rejected
    };
    ParseResult ParseBlock(std::vector<CalculatorNode>& list, int depth);
    ParseResult ParseConditional(std::vector<CalculatorNode>& list, int depth);
    Token ReadName(CalculatorNode& node);
    Token ReadNumber(CalculatorNode& node);

    const uint8_t* m_text;
    std::vector<CalculatorNode> m_nodes;
    uint64_t m_position = 0;
    uint64_t m_length;
};
