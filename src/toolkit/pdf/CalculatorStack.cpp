#include "toolkit/pdf/CalculatorStack.h"

#include <algorithm>

bool CalculatorStack::push(const StackItem& item)
{
    if (m_top + 1 >= kCapacity)
        return false;
    m_items[static_cast<size_t>(++m_top)] = item;
    return true;
}

bool CalculatorStack::pushInteger(int64_t value)
{
    const StackItem item{0.0, StackItem::Integer, value, false};
    return push(item);
}

bool CalculatorStack::pushReal(double value)
{
    const StackItem item{value, StackItem::Real, 0, false};
    return push(item);
}

bool CalculatorStack::pushBoolean(bool value)
{
    const StackItem item{0.0, StackItem::Boolean, 0, value};
    return push(item);
}

void CalculatorStack::popNumber(double& slot)
{
    if (isEmpty() || !top().isNumber())
        return;
    slot = top().number();
    --m_top;
}

void CalculatorStack::popInteger(int64_t& slot)
{
    if (!topIsInteger())
        return;
    slot = top().integerValue;
    --m_top;
}

void CalculatorStack::popBoolean(bool& slot)
{
    if (!topIsBoolean())
        return;
    slot = top().booleanValue;
    --m_top;
}

void CalculatorStack::discardTop()
{
    if (!isEmpty())
        --m_top;
}

bool CalculatorStack::topTwoAreIntegers() const
{
    return depth() >= 2 && top().kind == StackItem::Integer && fromTop(1).kind == StackItem::Integer;
}

bool CalculatorStack::topTwoAreNumbers() const
{
    return depth() >= 2 && top().isNumber() && fromTop(1).isNumber();
}

bool CalculatorStack::copy(int64_t count)
{
    if (count <= 0)
        return true;
    if (count > depth() || depth() + count > kCapacity)
        return false;
    const int first = m_top - static_cast<int>(count) + 1;
    for (int i = 0; i < count; ++i)
        m_items[static_cast<size_t>(m_top + 1 + i)] = m_items[static_cast<size_t>(first + i)];
    m_top += static_cast<int>(count);
    return true;
}

bool CalculatorStack::index(int64_t position)
{
    if (position < 0)
        return true;
    if (position >= depth())
        return false;
    return push(fromTop(static_cast<int>(position)));
}

bool CalculatorStack::roll(int64_t count, int64_t shift)
{
    if (count <= 0)
        return true;
    if (count > depth())
        return false;
    // Moving the top item to the bottom of the group j times is a rotation by j modulo the group's
    // size: a shift of two billion costs no more than a shift of one.
    const int64_t steps = ((shift % count) + count) % count;
    if (steps == 0)
        return true;
    auto groupBegin = m_items.begin() + (m_top - count + 1);
    auto groupEnd = m_items.begin() + (m_top + 1);
    std::rotate(groupBegin, groupEnd - steps, groupEnd);
    return true;
}

void CalculatorStack::reverse()
{
    std::reverse(m_items.begin(), m_items.begin() + (m_top + 1));
}
