#pragma once

#include <QDialog>

class ExportOptionsPanel;
class QComboBox;
class QPushButton;

// The dialog in which the user saves the current page size, margins and unit as a named preset,
// replaces a preset or removes one. The presets live in the preset preference file; the page-size
// popup of the panel and this dialog's name box are its view.
class PageSizePresetDialog : public QDialog {
    Q_OBJECT
public:
    explicit PageSizePresetDialog(ExportOptionsPanel& panel);

    QComboBox* PresetNameComboboxOutlet() const { return m_nameBox; }
    QPushButton* saveButton() const { return m_saveButton; }
    QPushButton* removeButton() const { return m_removeButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }

    // Fills the name box, proposes a name and shows the dialog, modal to the application.
    void AddPresetAction();
    void CancelPresetButtonAction();
    void SavePresetAction();
    void RemovePresetAction();

    void reject() override; // Escape and the window's close button cancel

private:
    QString proposedPresetName() const;
    bool isFixedItemTitle(const QString& name) const;
    void selectPresetItem(const QString& name, qint64 position);
    void removePresetItem(const QString& name);

    ExportOptionsPanel& m_panel;
    QComboBox* m_nameBox;
    QPushButton* m_saveButton;
    QPushButton* m_removeButton;
    QPushButton* m_cancelButton;
};
