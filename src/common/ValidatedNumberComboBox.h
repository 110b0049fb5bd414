#pragma once

#include "common/NumberFieldRules.h"

#include <QComboBox>

class ValidatedNumberField;

// An editable combo box whose text follows the rules of a validated number field (ResolutionComboBox,
// ScaleComboBox). Typed text neither completes to a list item nor is added to the list.
class ValidatedNumberComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit ValidatedNumberComboBox(NumberFieldType type, QWidget* parent = nullptr);

    ValidatedNumberField* numberField() const;
};
