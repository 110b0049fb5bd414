#include "common/FieldNumber.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

namespace {

float CappedToFloat(double value)
{
    constexpr double largest = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, -largest, largest));
}

// Converting a double outside the 64-bit range to an integer is undefined: cap it first.
qint64 TruncatedToWhole(double value)
{
    constexpr double limit = 9223372036854775807.0; // rounds to 2^63, itself out of range
    if (value >= limit)
        return std::numeric_limits<qint64>::max();
    if (value <= -limit)
        return std::numeric_limits<qint64>::min();
    return qint64(value);
}

template <typename Number>
QString ShortestText(Number value)
{
    std::array<char, 64> buffer {};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
}

template <typename Whole>
std::optional<qint64> ScanWhole(NumberScanner& scanner)
{
    return scanner.scanInteger(std::numeric_limits<Whole>::min(), std::numeric_limits<Whole>::max());
}

} // namespace

FieldNumber::FieldNumber(NumberKind kind, qint64 whole, double real) : m_kind(kind), m_whole(whole), m_real(real) {}

FieldNumber::FieldNumber(NumberKind kind, double value)
    : FieldNumber(kind, 0, kind == NumberKind::Float ? double(CappedToFloat(value)) : value)
{
    if (isWhole())
        m_whole = TruncatedToWhole(value);
}

std::optional<FieldNumber> FieldNumber::scan(NumberScanner& scanner, NumberKind kind)
{
    switch (kind) {
    case NumberKind::Int:
        if (const auto value = ScanWhole<qint32>(scanner))
            return FieldNumber(kind, *value, 0);
        return std::nullopt;
    case NumberKind::Integer:
        if (const auto value = ScanWhole<qint64>(scanner))
            return FieldNumber(kind, *value, 0);
        return std::nullopt;
    case NumberKind::Float:
    case NumberKind::Double:
        if (const auto value = scanner.scanDouble())
            return FieldNumber(kind, *value);
        return std::nullopt;
    }
    return std::nullopt;
}

FieldNumber FieldNumber::leading(const QString& text, const NumberFieldRules& rules)
{
    NumberScanner scanner(text, rules.skipping);
    return scan(scanner, rules.kind).value_or(FieldNumber(rules.kind, 0.0));
}

bool FieldNumber::isWhole() const
{
    return m_kind == NumberKind::Int || m_kind == NumberKind::Integer;
}

bool FieldNumber::isBelow(double bound) const
{
    return isWhole() ? double(m_whole) < bound : m_real < bound;
}

bool FieldNumber::isAbove(double bound) const
{
    return isWhole() ? double(m_whole) > bound : m_real > bound;
}

QString FieldNumber::text() const
{
    if (isWhole())
        return QString::number(m_whole);
    if (m_kind == NumberKind::Float)
        return ShortestText(static_cast<float>(m_real));
    return ShortestText(m_real);
}
