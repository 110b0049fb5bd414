#include "app/options/PageValueText.h"

#include <QRegularExpression>

#include <cmath>

namespace PageValueText {

namespace {

const QString kNumberPattern = QStringLiteral(R"([+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?)");

const QRegularExpression& leadingNumber()
{
    static const QRegularExpression expression(QStringLiteral(R"(^\s*()") + kNumberPattern + QStringLiteral(")"));
    return expression;
}

const QRegularExpression& wholeNumber()
{
    static const QRegularExpression expression(QStringLiteral(R"(^\s*()") + kNumberPattern
                                               + QStringLiteral(R"()\s*$)"));
    return expression;
}

const QRegularExpression& decimalBeingTyped()
{
    static const QRegularExpression expression(QStringLiteral(R"(^[+-]?\d*\.\d*0$)"));
    return expression;
}

} // namespace

double leadingValue(const QString& text)
{
    const QRegularExpressionMatch match = leadingNumber().match(text);
    if (!match.hasMatch())
        return 0.0;
    bool ok = false;
    const double value = match.captured(1).toDouble(&ok);
    // An exponent beyond the range of a double is no number anyone meant.
    return ok && std::isfinite(value) ? value : 0.0;
}

std::optional<float> checkedValue(const QString& text)
{
    if (text.isEmpty())
        return 0.0f;
    const QRegularExpressionMatch match = wholeNumber().match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const float value = static_cast<float>(match.captured(1).toDouble(&ok));
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString format(double value)
{
    return QString::number(value, 'g', 15);
}

QString shortestSinglePrecisionText(double value)
{
    const float wanted = static_cast<float>(value);
    for (int digits = 1; digits < 17; ++digits) {
        const QString text = QString::number(value, 'g', digits);
        if (static_cast<float>(text.toDouble()) == wanted)
            return text;
    }
    return format(value);
}

bool isNumberBeingTyped(const QString& text)
{
    return text.endsWith(QLatin1Char('.')) || decimalBeingTyped().match(text).hasMatch();
}

} // namespace PageValueText
