#pragma once

#include "common/NumberFieldRules.h"

#include <QLineEdit>

// A line edit that keeps its text a number of the kind its type names while the user types, and forces
// the number into the type's range when editing ends (Return, or the field losing focus after a change).
// A complete number is left as typed even when out of range until editing ends; any other non-empty text
// is at once rewritten as its leading number, corrected into range; an empty field stays empty while
// typing. Text set by the program is not checked.
class ValidatedNumberField : public QLineEdit {
    Q_OBJECT

public:
    explicit ValidatedNumberField(NumberFieldType type, QWidget* parent = nullptr);

    NumberFieldType type() const { return m_rules.type; }

private:
    void textDidChange();
    void textDidEndEditing();
    void showNumber(const QString& numberText);

    NumberFieldRules m_rules;
};
