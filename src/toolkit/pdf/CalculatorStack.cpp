#include "toolkit/pdf/CalculatorStack.h"

#include <algorithm>

bool CalculatorStack::copy(int64_t count)
{
    if (count <= 0)
        return true;
    if (count > depth())
        return true;
    if (depth() + count > kCapacity)
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
        return true;
    return push(fromTop(static_cast<int>(position)));
}

bool CalculatorStack::roll(int64_t count, int64_t shift)
{
    if (count <= 0)
        return true;
    if (count > depth())
        return true;
    // Moving the top item to the bottom of the group j times is a rotation by j modulo the group's
    // size: a shift of two billion costs no more than a shift of one.
    const int64_t steps = shift >= 0 && shift < count ? shift : ((shift % count) + count) % count;
    if (steps == 0)
        return true;
    if (count == 2) {
        std::swap(m_items[static_cast<size_t>(m_top)], m_items[static_cast<size_t>(m_top - 1)]);
        return true;
    }
    auto groupBegin = m_items.begin() + (m_top - count + 1);
    auto groupEnd = m_items.begin() + (m_top + 1);
    std::rotate(groupBegin, groupEnd - steps, groupEnd);
    return true;
}

void CalculatorStack::reverse()
{
    std::reverse(m_items.begin(), m_items.begin() + (m_top + 1));
}
