#pragma once

#include "app/options/ExportOptionValidation.h"

#include <QStringList>
#include <QVariantMap>
#include <QWidget>

#include <array>

class PageSizePresetDialog;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class Stepper;

// The controls of the export options, by the names the rest of the application knows them by.
// The panel owns them through Qt parenthood; these are plain views of them.
struct ExportOptionsOutlets {
    QComboBox* PageSizePopupOutlet = nullptr;
    QPushButton* savePresetButtonOutlet = nullptr;
    QComboBox* inSizeTypePopupOutlet = nullptr;
    QLineEdit* widthEditFieldOutlet = nullptr;
    QLineEdit* heightEditFieldOutlet = nullptr;
    QLineEdit* leftEditFieldOutlet = nullptr;
    QLineEdit* topEditFieldOutlet = nullptr;
    QLineEdit* rightEditFieldOutlet = nullptr;
    QLineEdit* bottomEditFieldOutlet = nullptr;
    Stepper* widthStepperOutlet = nullptr;
    Stepper* heightStepperOutlet = nullptr;
    Stepper* leftStepperOutlet = nullptr;
    Stepper* topStepperOutlet = nullptr;
    Stepper* rightStepperOutlet = nullptr;
    Stepper* bottomStepperOutlet = nullptr;
    QButtonGroup* orientationRadioButtonOutlet = nullptr; // ids are QPageLayout::Orientation values
    QComboBox* textEncodingPopupOutlet = nullptr;
    QCheckBox* exportHyperlinks = nullptr;
    QCheckBox* exportTOC = nullptr;
    QLineEdit* mTitleEditFieldOutlet = nullptr;
    QLineEdit* mAuthorEditFieldOutlet = nullptr;
    QLineEdit* mSubjectEditFieldOutlet = nullptr;
    QLineEdit* mKeywordsEditFieldOutlet = nullptr;
};

// The export options of the main window: page size (fixed sizes, the user's presets or custom
// values), unit, margins, orientation, text encoding, the two export flags and the four document
// fields. It keeps the six value fields in step with their steppers and with the unit, checks the
// values before an export, and saves and restores presets and the chosen page size.
//
// On construction it fills the encoding menu and restores the presets and the page-size selection
// from the preference files.
class ExportOptionsPanel : public QWidget {
    Q_OBJECT
public:
    using ValueField = ExportOptionValidation::ValueField;

    // Values above this are not taken from typing.
    static constexpr double kMaximumValue = 32000.0;

    struct PageGeometry { // points
        double width = 0;
        double height = 0;
        double left = 0;
        double right = 0;
        double top = 0;
        double bottom = 0;
    };

    explicit ExportOptionsPanel(QWidget* parent = nullptr);
    ~ExportOptionsPanel() override;

    const ExportOptionsOutlets& outlets() const { return m_outlets; }
    QLineEdit* field(ValueField which) const;
    Stepper* stepper(ValueField which) const;

    // What an export reads.
    double GetSizeTypeFactor() const;
    PageGeometry pageGeometryInPoints() const; // each field's value times the unit's factor
    unsigned orientation() const;
    bool exportsHyperlinks() const;
    bool exportsTOC() const;
    QString GetCurrentEncodingName() const; // null: the document's own encoding
    QString documentTitle() const;          // the four document fields, "" when empty
    QString documentAuthor() const;
    QString documentSubject() const;
    QString documentKeywords() const;
    int currentSizeFormatType() const { return m_currentSizeFormatType; }

    // Checks the values before an export; on a problem tells the user, returns focus to the field
    // concerned and answers false.
    bool ISExportOptionValid();

    // Presets and preference files.
    void GetPreferenceValue(QVariantMap* entry) const;
    // Applies the stored preset; false (and nothing changed) when it cannot be read or used.
    bool ChangeAndSetPrefOptions(const QString& presetName);
    bool WriteGeneralPrefOptions() const;
    void AddPresetAction();
    PageSizePresetDialog* AddPresetDialogOutlet() const { return m_presetDialog; }

    // The user's actions on the controls (the controls call these themselves).
    void controlTextDidChange(QLineEdit* changedField);
    void StepperControlDidChange(Stepper* sender);
    void ChangePageSizePresetPopup();
    void ChangeSizeInTypePopup();

private:
    void buildControls();
    void connectControls();
    void restorePageSizeSelection();
    int storedPageSizeSelection() const;
    void selectUnit(int tag);
    void setFieldValue(ValueField which, double value);
    void applyFixedSize(int popupIndex);
    ExportOptionValidation::FieldTexts fieldTexts() const;
    // What the export takes from a field, in the current unit and unrounded, as a number and as
    // the text a preset stores.
    std::optional<float> exportedValue(std::size_t index) const;
    QString exportedText(std::size_t index) const;

    // A value as the user or a page size gave it, and the text it is shown as in another unit.
    struct EnteredValue {
        QString text;
        int unitTag = 0;
        QString shownText;
    };
    // What the field holds: the value kept from before a unit change while the field still shows
    // that value's text, else its text in the current unit.
    EnteredValue enteredValue(std::size_t index) const;
    void forgetEnteredValues();

    ExportOptionsOutlets m_outlets;
    std::array<QLineEdit*, 6> m_fields{};
    std::array<Stepper*, 6> m_steppers{};
    // Converting a shown, rounded value again at every unit change would make it drift; the value
    // converted is always the one entered.
    std::array<EnteredValue, 6> m_enteredValues{};
    QStringList m_encodingNames;
    int m_currentSizeFormatType = 0;
    PageSizePresetDialog* m_presetDialog = nullptr; // a child: Qt parenthood owns it
};
