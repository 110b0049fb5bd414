// Presets and the page-size selection in the preference files.
#include "app/options/ExportOptionsPanel.h"

#include "app/options/PageValueText.h"
#include "app/options/FixedPageSizes.h"
#include "app/options/PageUnits.h"
#include "app/options/Stepper.h"
#include "app/presets/PresetEntries.h"
#include "app/presets/PreferencePlist.h"

#include <QComboBox>
#include <QLineEdit>

void ExportOptionsPanel::GetPreferenceValue(QVariantMap* entry) const
{
    if (!entry)
        return;
    // The unit goes in by a name that does not depend on the language of its title.
    const int unitTag = m_outlets.inSizeTypePopupOutlet->currentData().toInt();
    entry->insert(PresetEntries::kInputTypeKey, PageUnits::unitStorageName(unitTag));
    // A value shown rounded in another unit is stored as the export takes it.
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        entry->insert(PresetEntries::kValueKeys[qsizetype(i)], exportedText(i));
}

bool ExportOptionsPanel::ChangeAndSetPrefOptions(const QString& presetName)
{
    QVariantMap presets;
    if (!ReadPreferencePlist(&presets, kPresetPrefFileFormat))
        return false;
    const std::optional<QVariantMap> entry = PresetEntries::presetEntry(presets, presetName);
    if (!entry)
        return false;
    // A preset is applied whole or not at all: values in a unit this application cannot name, or
    // values that are not texts, would otherwise mix with the fields' current values.
    const std::optional<QString> unitName = PresetEntries::stringValue(entry->value(PresetEntries::kInputTypeKey));
    const std::optional<int> unitTag = unitName ? PageUnits::unitTagForStoredName(*unitName) : std::nullopt;
    if (!unitTag)
        return false;
    std::array<std::optional<QString>, 6> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const QVariant stored = entry->value(PresetEntries::kValueKeys[qsizetype(i)]);
        if (!stored.isValid())
            continue; // a value the preset does not hold is left as it is
        texts[i] = PresetEntries::stringValue(stored);
        if (!texts[i])
            return false;
    }
    selectUnit(*unitTag);
    m_currentSizeFormatType = *unitTag;
    forgetEnteredValues();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (!texts[i])
            continue;
        m_fields[i]->setText(*texts[i]);
        m_steppers[i]->setValue(PageValueText::leadingValue(*texts[i]));
    }
    return true;
}

bool ExportOptionsPanel::WriteGeneralPrefOptions() const
{
    const QVariantMap general{
        {PresetEntries::kPresetIndexKey, qlonglong(m_outlets.PageSizePopupOutlet->currentIndex())}};
    return WritePreferencePlist(general, kGeneralPrefFileFormat);
}

int ExportOptionsPanel::storedPageSizeSelection() const
{
    QVariantMap general;
    if (!ReadPreferencePlist(&general, kGeneralPrefFileFormat))
        return FixedPageSizes::kDefaultIndex;
    const std::optional<qint64> index = PresetEntries::integerValue(general.value(PresetEntries::kPresetIndexKey));
    // Only an item that carries a size: a fixed size or a preset, never a separator.
    const bool usable = index && *index >= FixedPageSizes::kFirstFixedIndex
                        && *index < m_outlets.PageSizePopupOutlet->count() && *index != FixedPageSizes::kSecondSeparatorIndex;
    return usable ? int(*index) : FixedPageSizes::kDefaultIndex;
}

void ExportOptionsPanel::restorePageSizeSelection()
{
    QVariantMap presets;
    if (ReadPreferencePlist(&presets, kPresetPrefFileFormat))
        m_outlets.PageSizePopupOutlet->addItems(PresetEntries::namesInPresetOrder(presets));

    m_outlets.PageSizePopupOutlet->setCurrentIndex(storedPageSizeSelection());
    ChangePageSizePresetPopup();
    // A stored preset that could not be applied would leave the fields empty.
    if (m_currentSizeFormatType == 0) {
        m_outlets.PageSizePopupOutlet->setCurrentIndex(FixedPageSizes::kDefaultIndex);
        ChangePageSizePresetPopup();
    }
}
