#include "common/NumberScanner.h"

#include <QString>

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>
#include <system_error>

namespace {

bool IsDigit(QChar character)
{
    return character >= QLatin1Char('0') && character <= QLatin1Char('9');
}

bool IsSign(QChar character)
{
    return character == QLatin1Char('+') || character == QLatin1Char('-');
}

// Magnitudes from 2^63 up all cap to the same value, which is enough to cap any 64-bit range.
constexpr quint64 kMagnitudeCap = quint64(1) << 63;

qint64 SignedCapped(quint64 magnitude, bool negative)
{
    if (negative)
        return magnitude >= kMagnitudeCap ? std::numeric_limits<qint64>::min() : -qint64(magnitude);
    return magnitude >= kMagnitudeCap ? std::numeric_limits<qint64>::max() : qint64(magnitude);
}

// Whether an out-of-range decimal text is too large rather than too small: its leading significant digit
// then stands at a positive power of ten.
bool IsOverflow(const std::string& mantissa, long exponent)
{
    const auto point = mantissa.find('.');
    const std::string integerPart = mantissa.substr(0, point);
    const auto firstSignificant = integerPart.find_first_not_of("-0");
    if (firstSignificant != std::string::npos)
        return long(integerPart.size() - firstSignificant) + exponent > 0;
    if (point == std::string::npos)
        return false;
    const auto firstInFraction = mantissa.find_first_not_of('0', point + 1);
    if (firstInFraction == std::string::npos)
        return false;
    return exponent - long(firstInFraction - point - 1) > 0;
}

long ExponentValue(QStringView exponentDigits, bool negative)
{
    long value = 0;
    for (const QChar digit : exponentDigits)
        value = std::min(value * 10 + digit.digitValue(), 100000L);
    return negative ? -value : value;
}

// The value of text already known to be plain decimal notation ("-12.5", "e-3"), which from_chars converts
// without regard to any locale.
double DecimalValue(QStringView mantissaText, QStringView exponentText)
{
    std::string mantissa = mantissaText.toString().toStdString();
    if (mantissa.front() == '+')
        mantissa.erase(0, 1);
    long exponent = 0;
    if (!exponentText.isEmpty()) {
        const bool hasSign = IsSign(exponentText.at(1));
        exponent = ExponentValue(exponentText.mid(hasSign ? 2 : 1), exponentText.at(1) == QLatin1Char('-'));
    }
    const std::string number = mantissa + "e" + std::to_string(exponent);
    double value = 0;
    if (std::from_chars(number.data(), number.data() + number.size(), value).ec == std::errc::result_out_of_range) {
        const double capped = IsOverflow(mantissa, exponent) ? std::numeric_limits<double>::max() : 0.0;
        value = mantissa.front() == '-' ? -capped : capped;
    }
    return value;
}

} // namespace

NumberScanner::NumberScanner(QStringView text, Skipping skipping) : m_text(text), m_skipping(skipping) {}

bool NumberScanner::isSkippable(QChar character) const
{
    return m_skipping == Skipping::WhiteSpace ? character.isSpace() : character == QLatin1Char('%');
}

qsizetype NumberScanner::afterSkippable(qsizetype position) const
{
    while (position < m_text.size() && isSkippable(m_text.at(position)))
        ++position;
    return position;
}

qsizetype NumberScanner::afterDigits(qsizetype position) const
{
    while (position < m_text.size() && IsDigit(m_text.at(position)))
        ++position;
    return position;
}

// An exponent counts only when it is complete: "1e" and "1e+" are the number 1 followed by other text.
qsizetype NumberScanner::afterExponent(qsizetype position) const
{
    const bool startsExponent = position < m_text.size() && m_text.at(position).toLower() == QLatin1Char('e');
    if (!startsExponent)
        return position;
    qsizetype digits = position + 1;
    if (digits < m_text.size() && IsSign(m_text.at(digits)))
        ++digits;
    const qsizetype end = afterDigits(digits);
    return end > digits ? end : position;
}

bool NumberScanner::isAtEnd() const
{
    return afterSkippable(m_position) == m_text.size();
}

std::optional<qint64> NumberScanner::scanInteger(qint64 minimum, qint64 maximum)
{
    qsizetype position = afterSkippable(m_position);
    const bool negative = position < m_text.size() && m_text.at(position) == QLatin1Char('-');
    if (position < m_text.size() && IsSign(m_text.at(position)))
        ++position;
    const qsizetype end = afterDigits(position);
    if (end == position)
        return std::nullopt;
    quint64 magnitude = 0;
    for (; position < end; ++position)
        magnitude = magnitude > kMagnitudeCap / 10
                        ? kMagnitudeCap
                        : std::min(magnitude * 10 + quint64(m_text.at(position).digitValue()), kMagnitudeCap);
    m_position = end;
    return std::clamp(SignedCapped(magnitude, negative), minimum, maximum);
}

std::optional<qsizetype> NumberScanner::afterMantissa(qsizetype position) const
{
    if (position < m_text.size() && IsSign(m_text.at(position)))
        ++position;
    const qsizetype integerEnd = afterDigits(position);
    qsizetype end = integerEnd;
    if (end < m_text.size() && m_text.at(end) == QLatin1Char('.'))
        end = afterDigits(end + 1);
    const bool hasDigit = integerEnd > position || end > integerEnd + 1;
    return hasDigit ? std::optional(end) : std::nullopt;
}

std::optional<double> NumberScanner::scanDouble()
{
    const qsizetype start = afterSkippable(m_position);
    const std::optional<qsizetype> mantissaEnd = afterMantissa(start);
    if (!mantissaEnd)
        return std::nullopt;
    const qsizetype end = afterExponent(*mantissaEnd);
    const double value =
        DecimalValue(m_text.mid(start, *mantissaEnd - start), m_text.mid(*mantissaEnd, end - *mantissaEnd));
    m_position = end;
    return value;
}
