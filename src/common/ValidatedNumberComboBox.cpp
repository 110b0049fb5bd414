#include "common/ValidatedNumberComboBox.h"

#include "common/ValidatedNumberField.h"

ValidatedNumberComboBox::ValidatedNumberComboBox(NumberFieldType type, QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setLineEdit(new ValidatedNumberField(type, this));
    // Inline completion would replace typed digits with a list item's text before the rules see them.
    lineEdit()->setCompleter(nullptr);
}

ValidatedNumberField* ValidatedNumberComboBox::numberField() const
{
    return qobject_cast<ValidatedNumberField*>(lineEdit());
}
