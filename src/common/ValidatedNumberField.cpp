#include "common/ValidatedNumberField.h"

#include "common/FieldNumber.h"

ValidatedNumberField::ValidatedNumberField(NumberFieldType type, QWidget* parent)
    : QLineEdit(parent), m_rules(RulesFor(type))
{
    connect(this, &QLineEdit::textEdited, this, &ValidatedNumberField::textDidChange);
    connect(this, &QLineEdit::editingFinished, this, &ValidatedNumberField::textDidEndEditing);
}

void ValidatedNumberField::textDidChange()
{
    const QString current = text();
    NumberScanner scanner(current, m_rules.skipping);
    const std::optional<FieldNumber> scanned = FieldNumber::scan(scanner, m_rules.kind);
    if (scanned && scanner.isAtEnd()) {
        if (m_rules.typingMaximum && scanned->isAbove(*m_rules.typingMaximum))
            showNumber(FieldNumber(m_rules.kind, *m_rules.typingMaximum).text());
        return;
    }
    if (current.isEmpty() || (m_rules.keepsLoneMinus && current == QLatin1String("-")))
        return;
    FieldNumber value = FieldNumber::leading(current, m_rules);
    if (value.isBelow(m_rules.typingMinimum))
        value = FieldNumber(m_rules.kind, m_rules.typingMinimum);
    else if (m_rules.typingMaximum && value.isAbove(*m_rules.typingMaximum))
        value = FieldNumber(m_rules.kind, *m_rules.typingMaximum);
    showNumber(value.text());
}

void ValidatedNumberField::textDidEndEditing()
{
    if (!m_rules.endOfEditing)
        return;
    if (FieldNumber::leading(text(), m_rules).isBelow(m_rules.endOfEditing->below))
        showNumber(FieldNumber(m_rules.kind, m_rules.endOfEditing->value).text());
}

void ValidatedNumberField::showNumber(const QString& numberText)
{
    if (numberText != text())
        setText(numberText);
}
