#pragma once

#include <QStringView>
#include <QtGlobal>

#include <optional>

// Reads a number at the current position of a text, as the number fields need it. Only plain decimal
// notation is accepted: an optional sign, ASCII digits, for real numbers an optional decimal point and an
// optional exponent. "nan", "inf" and hexadecimal are never numbers, and the decimal point is "." in every
// locale. Before a number, and when testing for the end, the scanner passes over its skippable characters.
// A failed scan leaves the position unchanged.
class NumberScanner {
public:
    enum class Skipping {
        WhiteSpace,   // spaces, tabs and line breaks
        PercentSigns, // only "%": "50%" and "%50" are whole numbers, "50 %" is not
    };

    // The scanner reads the text in place: it must outlive the scanner.
    NumberScanner(QStringView text, Skipping skipping);
    NumberScanner(QString&& text, Skipping skipping) = delete;

    // Values outside [minimum, maximum] are capped, as are values too large for 64 bits.
    std::optional<qint64> scanInteger(qint64 minimum, qint64 maximum);

    // Values too large for a double are capped to the largest finite double; values too small become 0.
    std::optional<double> scanDouble();

    // True when nothing but skippable characters is left.
    bool isAtEnd() const;

private:
    bool isSkippable(QChar character) const;
    qsizetype afterSkippable(qsizetype position) const;
    qsizetype afterDigits(qsizetype position) const;
    qsizetype afterExponent(qsizetype position) const;
    std::optional<qsizetype> afterMantissa(qsizetype position) const;

    QStringView m_text;
    Skipping m_skipping;
    qsizetype m_position = 0;
};
