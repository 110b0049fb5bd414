#pragma once

#include "common/NumberFieldRules.h"

#include <QString>

#include <optional>

// A number as a field of one kind holds it: a whole number for int and integer, a real number (rounded to
// single precision for float) otherwise.
class FieldNumber {
public:
    // A value of the kind, for the bounds of the rules (whole numbers are truncated).
    FieldNumber(NumberKind kind, double value);

    // Reads one number of the kind at the scanner's position.
    static std::optional<FieldNumber> scan(NumberScanner& scanner, NumberKind kind);

    // The number at the start of the text (after skippable characters), 0 when there is none.
    static FieldNumber leading(const QString& text, const NumberFieldRules& rules);

    bool isBelow(double bound) const;
    bool isAbove(double bound) const;

    // The shortest text that reads back as the same number, "." as decimal point: "12", "0.5", "1e+20".
    QString text() const;

private:
    FieldNumber(NumberKind kind, qint64 whole, double real);

    bool isWhole() const;

    NumberKind m_kind;
    qint64 m_whole = 0;
    double m_real = 0;
};
