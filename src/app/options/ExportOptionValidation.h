#pragma once

#include <QString>

#include <array>
#include <optional>

// The check of the page size and margins that runs before every export, on the texts of the six
// value fields (all in the same unit).
namespace ExportOptionValidation {

// Positions of the value fields, in the order width, height, left, top, right, bottom.
enum class ValueField {
    Width,
    Height,
    Left,
    Top,
    Right,
    Bottom
};
using FieldTexts = std::array<QString, 6>;
// The values checked, in the unit the texts are shown in; nothing for a text that is no number.
using FieldValues = std::array<std::optional<float>, 6>;

struct Problem {
    QString title;      // the alert's title, naming the offending text(s)
    ValueField focus;   // the field to go back to
    bool offersDiscard; // a single bad value may be discarded; an excessive total may not
};

// The first problem found, or nothing when the values can be exported. A text that is not a
// number fails its field's test like a value out of range; an empty text counts as 0.
std::optional<Problem> findProblem(const FieldTexts& texts);
// The same on values that need not be the texts' own (a text shown rounded in another unit stands
// for the value entered); the texts name the values in the alert.
std::optional<Problem> findProblem(const FieldTexts& texts, const FieldValues& values);
// The value each text gives the check.
FieldValues checkedValues(const FieldTexts& texts);

inline const QString kInformativeText = QStringLiteral("Please enter proper value");
inline const QString kOkButton = QStringLiteral("OK");
inline const QString kDiscardButton = QStringLiteral("Discard Value");

} // namespace ExportOptionValidation
