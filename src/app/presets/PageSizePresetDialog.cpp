#include "app/presets/PageSizePresetDialog.h"

#include "app/options/ExportOptionsPanel.h"
#include "app/options/FixedPageSizes.h"
#include "common/LocalizedStrings.h"
#include "app/presets/PresetEntries.h"
#include "app/presets/PreferencePlist.h"
#include "common/RunAlertSheet.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kProposedNameBase = QStringLiteral("Page Size Preset");

QComboBox& pageSizePopup(const ExportOptionsPanel& panel)
{
    return *panel.outlets().PageSizePopupOutlet;
}

// Alerts of this dialog show a title and buttons only.
int runAlert(QWidget* dialog, const QString& title, const char* defaultKey, const char* alternateKey = nullptr)
{
    return RunAlertSheet(title, QStringLiteral(""), Localized(defaultKey),
                         alternateKey ? Localized(alternateKey) : QString(), QString(), dialog);
}

} // namespace

PageSizePresetDialog::PageSizePresetDialog(ExportOptionsPanel& panel)
    : QDialog(&panel)
    , m_panel(panel)
    , m_nameBox(new QComboBox(this))
    , m_saveButton(new QPushButton(QStringLiteral("Save"), this))
    , m_removeButton(new QPushButton(QStringLiteral("Remove"), this))
    , m_cancelButton(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("AddPresetDialogOutlet"));
    setWindowTitle(QStringLiteral("Page Size Presets"));
    m_nameBox->setObjectName(QStringLiteral("PresetNameComboboxOutlet"));
    m_nameBox->setEditable(true);
    m_nameBox->setInsertPolicy(QComboBox::NoInsert);
    m_nameBox->setMinimumWidth(240);
    m_saveButton->setDefault(true);
    // Enter saves, whichever button was used last; Remove and Cancel take a click or Space.
    m_removeButton->setAutoDefault(false);
    m_cancelButton->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_removeButton);
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_saveButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Preset name:"), this));
    layout->addWidget(m_nameBox);
    layout->addLayout(buttons);

    connect(m_saveButton, &QPushButton::clicked, this, &PageSizePresetDialog::SavePresetAction);
    connect(m_removeButton, &QPushButton::clicked, this, &PageSizePresetDialog::RemovePresetAction);
    connect(m_cancelButton, &QPushButton::clicked, this, &PageSizePresetDialog::CancelPresetButtonAction);
}

void PageSizePresetDialog::AddPresetAction()
{
    const QComboBox& popup = pageSizePopup(m_panel);
    m_nameBox->clear();
    for (int index = FixedPageSizes::kFirstPresetIndex; index < popup.count(); ++index)
        m_nameBox->addItem(popup.itemText(index));
    const int selected = popup.currentIndex();
    if (selected < FixedPageSizes::kFirstPresetIndex)
        m_nameBox->setEditText(proposedPresetName());
    else
        m_nameBox->setCurrentIndex(selected - FixedPageSizes::kFirstPresetIndex);
    setModal(true);
    show();
    raise();
    activateWindow();
    // Not on the button used last time: the dialog starts at the name.
    m_nameBox->setFocus(Qt::OtherFocusReason);
}

void PageSizePresetDialog::reject()
{
    CancelPresetButtonAction();
}

void PageSizePresetDialog::CancelPresetButtonAction()
{
    hide();
    setResult(QDialog::Rejected);
}

QString PageSizePresetDialog::proposedPresetName() const
{
    const QComboBox& popup = pageSizePopup(m_panel);
    const auto taken = [&popup](const QString& name) {
        for (int index = 1; index < popup.count(); ++index) {
            if (popup.itemText(index) == name)
                return true;
        }
        return false;
    };
    QString name = kProposedNameBase;
    for (long counter = 1; taken(name); ++counter)
        name = QStringLiteral("%1 %2").arg(kProposedNameBase).arg(counter);
    return name;
}

bool PageSizePresetDialog::isFixedItemTitle(const QString& name) const
{
    const QComboBox& popup = pageSizePopup(m_panel);
    for (int index = 0; index < FixedPageSizes::kFirstPresetIndex && index < popup.count(); ++index) {
        if (popup.itemText(index) == name)
            return true;
    }
    return false;
}

void PageSizePresetDialog::SavePresetAction()
{
    const QString name = m_nameBox->currentText();
    if (name.isEmpty()) {
        runAlert(this, Localized("EmptyPresetAlertTitle"), "OkButtonString");
        return;
    }
    if (isFixedItemTitle(name)) {
        runAlert(this, Localized("DefaultPresetAlertTitle").arg(name), "OkButtonString");
        return;
    }
    QVariantMap presets;
    if (!ReadPreferencePlist(&presets, kPresetPrefFileFormat))
        presets.clear();

    const std::optional<QVariantMap> existing = PresetEntries::presetEntry(presets, name);
    qint64 position = PresetEntries::presetCount(presets);
    if (existing) {
        if (runAlert(this, Localized("PresetExistAlertMsg").arg(name), "ReplaceButtonTitle", "NoTitle") == 0)
            return;
        position = PresetEntries::presetPosition(*existing).value_or(position);
    }
    QVariantMap entry;
    m_panel.GetPreferenceValue(&entry);
    entry.insert(PresetEntries::kPresetIndexKey, position);
    presets.insert(name, entry);

    if (WritePreferencePlist(presets, kPresetPrefFileFormat)) {
        if (!existing)
            pageSizePopup(m_panel).addItem(name);
        selectPresetItem(name, position);
    }
    CancelPresetButtonAction();
}

// The popup lists the presets in the order of their positions, so a preset's item is normally at
// the first preset index plus its position; a file edited by hand may break that, and then the
// item is found by its title.
void PageSizePresetDialog::selectPresetItem(const QString& name, qint64 position)
{
    QComboBox& popup = pageSizePopup(m_panel);
    const qint64 expected = FixedPageSizes::kFirstPresetIndex + position;
    if (position >= 0 && expected < popup.count() && popup.itemText(int(expected)) == name) {
        popup.setCurrentIndex(int(expected));
        return;
    }
    for (int index = FixedPageSizes::kFirstPresetIndex; index < popup.count(); ++index) {
        if (popup.itemText(index) == name) {
            popup.setCurrentIndex(index);
            return;
        }
    }
}

void PageSizePresetDialog::RemovePresetAction()
{
    const QString name = m_nameBox->currentText();
    if (name.isEmpty())
        return;
    QVariantMap presets;
    const bool read = ReadPreferencePlist(&presets, kPresetPrefFileFormat);
    const std::optional<QVariantMap> removed = read ? PresetEntries::presetEntry(presets, name) : std::nullopt;
    if (!removed) {
        runAlert(this, Localized("PresetNotExistAlertMsg").arg(name), "OkButtonString");
        return;
    }
    if (runAlert(this, Localized("RemoveExistPresetAlertMsg").arg(name), "RemoveButtonTitle", "NoTitle") == 0)
        return;

    // The presets after the removed one move up a place, so positions stay without gaps.
    const std::optional<qint64> removedPosition = PresetEntries::presetPosition(*removed);
    if (removedPosition && PresetEntries::presetCount(presets) >= 2) {
        for (auto it = presets.begin(); it != presets.end(); ++it) {
            if (it->typeId() != QMetaType::QVariantMap)
                continue;
            QVariantMap entry = it->toMap();
            const std::optional<qint64> position = PresetEntries::presetPosition(entry);
            if (position && *position > *removedPosition) {
                entry.insert(PresetEntries::kPresetIndexKey, *position - 1);
                *it = entry;
            }
        }
    }
    presets.remove(name);
    WritePreferencePlist(presets, kPresetPrefFileFormat);

    const int nameIndex = m_nameBox->findText(name);
    if (nameIndex >= 0)
        m_nameBox->removeItem(nameIndex);
    m_nameBox->setEditText(name);
    removePresetItem(name);
}

void PageSizePresetDialog::removePresetItem(const QString& name)
{
    QComboBox& popup = pageSizePopup(m_panel);
    for (int index = FixedPageSizes::kFirstPresetIndex; index < popup.count(); ++index) {
        if (popup.itemText(index) != name)
            continue;
        const bool wasSelected = popup.currentIndex() == index;
        popup.removeItem(index);
        // The fields still hold the removed preset's values: they are custom values now.
        if (wasSelected)
            popup.setCurrentIndex(FixedPageSizes::kCustomIndex);
        return;
    }
}
