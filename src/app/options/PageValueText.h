#pragma once

#include <QString>

#include <optional>

// Reading and writing the numbers of the size and margin fields.
namespace PageValueText {

// The number the text starts with (blanks, a sign, digits with at most one point, an exponent),
// ignoring what follows: "12abc" reads 12. Text that starts with no number reads 0, and so do
// "nan", "inf" and hexadecimal forms, which are not numbers a user types.
double leadingValue(const QString& text);

// The text's value for the export check, in single precision: empty text is 0; any other text must
// be a number as a whole (blanks around allowed) and finite in single precision, else nothing.
std::optional<float> checkedValue(const QString& text);

// The number form a field shows for a value: "210", "27.2", "8.27".
QString format(double value);

// The shortest number form that reads back as the same single-precision value, which is what the
// export takes of a text: "1.0708545" rather than "1.07085449218750".
QString shortestSinglePrecisionText(double value);

// True when the typed text would only lose what the user is still typing if it were rewritten in
// number form: a trailing decimal point ("12.") or trailing zeros after the point ("12.0", "0.00").
bool isNumberBeingTyped(const QString& text);

} // namespace PageValueText
