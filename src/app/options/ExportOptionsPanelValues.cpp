// How the six value fields follow typing, stepping, the page-size popup and the unit popup.
#include "app/options/ExportOptionsPanel.h"

#include "app/options/PageValueText.h"
#include "app/options/FixedPageSizes.h"
#include "app/options/PageUnits.h"
#include "app/options/Stepper.h"

#include <QComboBox>
#include <QLineEdit>

#include <algorithm>

namespace {

// A value entered in one unit as shown in another: to hundredths, halves going up. Back in the unit
// it was entered in, it shows as it was entered.
QString textInUnit(const QString& entered, int enteredTag, int shownTag)
{
    if (enteredTag == shownTag)
        return entered;
    const double value = PageValueText::leadingValue(entered);
    return QString::asprintf("%.2f", PageUnits::convertForUnitChange(value, enteredTag, shownTag));
}

} // namespace

void ExportOptionsPanel::controlTextDidChange(QLineEdit* changedField)
{
    const auto found = std::find(m_fields.begin(), m_fields.end(), changedField);
    if (found == m_fields.end())
        return;
    const auto which = static_cast<ValueField>(found - m_fields.begin());
    m_enteredValues[std::size_t(which)] = {};
    const QString text = changedField->text();
    const double value = PageValueText::leadingValue(text);
    if (!text.isEmpty()) {
        if (value > kMaximumValue)
            setFieldValue(which, stepper(which)->value()); // undoes the entry
        else if (!PageValueText::isNumberBeingTyped(text))
            setFieldValue(which, value); // drops what follows the number
    }
    m_outlets.PageSizePopupOutlet->setCurrentIndex(FixedPageSizes::kCustomIndex);
}

void ExportOptionsPanel::StepperControlDidChange(Stepper* sender)
{
    const auto found = std::find(m_steppers.begin(), m_steppers.end(), sender);
    if (found != m_steppers.end()) {
        m_enteredValues[std::size_t(found - m_steppers.begin())] = {};
        setFieldValue(static_cast<ValueField>(found - m_steppers.begin()), sender->value());
    }
    m_outlets.PageSizePopupOutlet->setCurrentIndex(FixedPageSizes::kCustomIndex);
}

void ExportOptionsPanel::ChangePageSizePresetPopup()
{
    const int index = m_outlets.PageSizePopupOutlet->currentIndex();
    if (FixedPageSizes::paperSizeAt(index)) {
        applyFixedSize(index);
    } else if (index >= FixedPageSizes::kFirstPresetIndex) {
        if (!ChangeAndSetPrefOptions(m_outlets.PageSizePopupOutlet->itemText(index))) {
            // The fields keep values that are not the preset's: show them as custom values.
            m_outlets.PageSizePopupOutlet->setCurrentIndex(FixedPageSizes::kCustomIndex);
            return;
        }
    } else {
        return; // the custom entry and the separators carry no size
    }
    m_outlets.PageSizePopupOutlet->setCurrentIndex(index);
}

void ExportOptionsPanel::applyFixedSize(int popupIndex)
{
    const FixedPageSizes::PaperSize size = *FixedPageSizes::paperSizeAt(popupIndex);
    selectUnit(PageUnits::kMillimetreTag);
    m_currentSizeFormatType = PageUnits::kMillimetreTag;
    forgetEnteredValues();
    const double margin = FixedPageSizes::kFixedSizeMarginMm;
    // In field order: width, height, left, top, right, bottom.
    const std::array<double, 6> values{size.widthMm, size.heightMm, margin, margin, margin, margin};
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        setFieldValue(static_cast<ValueField>(i), values[i]);
        m_steppers[i]->setValue(values[i]);
    }
}

void ExportOptionsPanel::ChangeSizeInTypePopup()
{
    const int newTag = m_outlets.inSizeTypePopupOutlet->currentData().toInt();
    if (newTag == m_currentSizeFormatType)
        return;
    if (GetSizeTypeFactor() < 1.0 || PageUnits::SizeTypeFactor(newTag) < 0)
        return; // no known unit to convert from, or none to convert to
    std::array<EnteredValue, 6> converted{};
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        converted[i] = enteredValue(i);
        converted[i].shownText = textInUnit(converted[i].text, converted[i].unitTag, newTag);
    }
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        m_fields[i]->setText(converted[i].shownText);
        m_steppers[i]->setValue(PageValueText::leadingValue(converted[i].shownText));
        m_enteredValues[i] = converted[i];
    }
    m_currentSizeFormatType = newTag;
}

ExportOptionsPanel::EnteredValue ExportOptionsPanel::enteredValue(std::size_t index) const
{
    const QString shown = m_fields[index]->text();
    const EnteredValue& kept = m_enteredValues[index];
    if (kept.unitTag != 0 && kept.shownText == shown)
        return kept;
    return {shown, m_currentSizeFormatType, shown};
}

std::optional<float> ExportOptionsPanel::exportedValue(std::size_t index) const
{
    const EnteredValue value = enteredValue(index);
    const std::optional<float> entered = PageValueText::checkedValue(value.text);
    if (!entered || value.unitTag == m_currentSizeFormatType)
        return entered;
    return float(double(*entered) * PageUnits::SizeTypeFactor(value.unitTag) / GetSizeTypeFactor());
}

QString ExportOptionsPanel::exportedText(std::size_t index) const
{
    const EnteredValue value = enteredValue(index);
    const std::optional<float> exported = exportedValue(index);
    // The text shown serves when it stands for the very value exported.
    if (value.unitTag == m_currentSizeFormatType || !exported
        || PageValueText::checkedValue(value.shownText) == exported)
        return value.shownText;
    return PageValueText::shortestSinglePrecisionText(double(*exported));
}

void ExportOptionsPanel::forgetEnteredValues()
{
    m_enteredValues.fill({});
}

void ExportOptionsPanel::selectUnit(int tag)
{
    const int index = m_outlets.inSizeTypePopupOutlet->findData(tag);
    if (index >= 0)
        m_outlets.inSizeTypePopupOutlet->setCurrentIndex(index);
}

void ExportOptionsPanel::setFieldValue(ValueField which, double value)
{
    field(which)->setText(PageValueText::format(value));
}
