#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// One value on the calculator's operand stack. Left uninitialised until pushed: a stack is made for
// every evaluation and should cost nothing to make.
struct StackItem {
    enum Kind : int32_t {
        Boolean = 0,
        Integer = 1,
        Real = 2
    };

    double realValue;
    Kind kind;
    int64_t integerValue;
    bool booleanValue;

    double number() const { return kind == Integer ? static_cast<double>(integerValue) : realValue; }
    bool isNumber() const { return kind != Boolean; }
};

// The operand stack of one calculator evaluation. Programs come from untrusted files, so the stack
// holds at most the 100 items PostScript calculator functions are allowed; every push reports
// whether it fitted, and the caller ends the evaluation when it did not.
class CalculatorStack {
public:
    static constexpr int kCapacity = 100;

    bool pushInteger(int64_t value);
    bool pushReal(double value);
    bool pushBoolean(bool value);
    bool push(const StackItem& item);

    // Pops into the slot only when the top item has the wanted kind; the slot keeps its value
    // otherwise. Numbers are integers or reals.
    void popNumber(double& slot);
    void popInteger(int64_t& slot);
    void popBoolean(bool& slot);
    void discardTop();

    const StackItem& top() const { return m_items[static_cast<size_t>(m_top)]; }
    const StackItem& fromTop(int offset) const { return m_items[static_cast<size_t>(m_top - offset)]; }
    StackItem& fromTop(int offset) { return m_items[static_cast<size_t>(m_top - offset)]; }
    bool topIsInteger() const { return !isEmpty() && top().kind == StackItem::Integer; }
    bool topIsReal() const { return !isEmpty() && top().kind == StackItem::Real; }
    bool topIsBoolean() const { return !isEmpty() && top().kind == StackItem::Boolean; }
    bool topTwoAreIntegers() const;
    bool topTwoAreNumbers() const;
    bool holdsFewerThan(int64_t count) const { return depth() < count; }
    bool isEmpty() const { return m_top < 0; }
    int depth() const { return m_top + 1; }

    // The stack operations of copy, index and roll. A count out of range (negative, or asking for
    // more items than the stack holds) does nothing; a result that would not fit returns false.
    bool copy(int64_t count);
    bool index(int64_t position);
    bool roll(int64_t count, int64_t shift);

    // Reverses the items in place, so that the bottom item comes first when popping.
    void reverse();
    void clear() { m_top = -1; }

private:
    std::array<StackItem, kCapacity> m_items;
    int m_top = -1;
};

// The operations every calculator step makes are inline: a call per push or pop would cost more
// than the arithmetic. The pushes write the fields in place: an item built aside and copied in
// would be read back before its stores have landed, which costs more than the rest of a push.
inline bool CalculatorStack::pushInteger(int64_t value)
{
    if (m_top + 1 >= kCapacity)
        return false;
    StackItem& item = m_items[static_cast<size_t>(++m_top)];
    item.kind = StackItem::Integer;
    item.integerValue = value;
    return true;
}

inline bool CalculatorStack::pushReal(double value)
{
    if (m_top + 1 >= kCapacity)
        return false;
    StackItem& item = m_items[static_cast<size_t>(++m_top)];
    item.kind = StackItem::Real;
    item.realValue = value;
    return true;
}

inline bool CalculatorStack::pushBoolean(bool value)
{
    if (m_top + 1 >= kCapacity)
        return false;
    StackItem& item = m_items[static_cast<size_t>(++m_top)];
    item.kind = StackItem::Boolean;
    item.booleanValue = value;
    return true;
}

inline bool CalculatorStack::push(const StackItem& item)
{
    if (m_top + 1 >= kCapacity)
        return false;
    m_items[static_cast<size_t>(++m_top)] = item;
    return true;
}

inline void CalculatorStack::popNumber(double& slot)
{
    if (isEmpty() || !top().isNumber())
        return;
    slot = top().number();
    --m_top;
}

inline void CalculatorStack::popInteger(int64_t& slot)
{
    if (!topIsInteger())
        return;
    slot = top().integerValue;
    --m_top;
}

inline void CalculatorStack::popBoolean(bool& slot)
{
    if (!topIsBoolean())
        return;
    slot = top().booleanValue;
    --m_top;
}

inline void CalculatorStack::discardTop()
{
    if (!isEmpty())
        --m_top;
}

inline bool CalculatorStack::topTwoAreIntegers() const
{
    return depth() >= 2 && top().kind == StackItem::Integer && fromTop(1).kind == StackItem::Integer;
}

inline bool CalculatorStack::topTwoAreNumbers() const
{
    return depth() >= 2 && top().isNumber() && fromTop(1).isNumber();
}
