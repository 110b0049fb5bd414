#pragma once

#include "app/presets/PageSizePresetDialog.h"
#include "app/presets/PreferencePlist.h"
#include "app/presets/PlistVariant.h"
#include "support/AlertAnswerer.h"
#include "app/support/PanelTestFixture.h"

#include <QPushButton>

// Drives the preset dialog of the panel as a user would.
class PresetTestFixture : public PanelTestFixture {
protected:
    PageSizePresetDialog& dialog() const { return *panel->AddPresetDialogOutlet(); }
    QComboBox& nameBox() const { return *dialog().PresetNameComboboxOutlet(); }

    void openDialog()
    {
        QTest::mouseClick(panel->outlets().savePresetButtonOutlet, Qt::LeftButton);
        ASSERT_TRUE(dialog().isVisible());
    }

    void typeName(const QString& name)
    {
        QLineEdit& edit = *nameBox().lineEdit();
        edit.setFocus();
        QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QTest::keyClicks(&edit, name);
    }

    // Opens the dialog, names the preset and presses Save; alerts get the answers given.
    void savePreset(const QString& name, const QStringList& answers = {})
    {
        openDialog();
        typeName(name);
        AlertAnswerer answerer(answers);
        QTest::mouseClick(dialog().saveButton(), Qt::LeftButton);
        EXPECT_EQ(answerer.unexpectedCount(), 0);
    }

    QVariantMap presetFile() const
    {
        QVariantMap presets;
        ReadPreferencePlist(&presets, kPresetPrefFileFormat);
        return presets;
    }

    QVariantMap presetEntry(const QString& name) const { return presetFile().value(name).toMap(); }

    // The titles of the preset items of the page-size popup.
    QStringList presetItems() const
    {
        QStringList titles;
        for (int index = 17; index < pageSizes().count(); ++index)
            titles << pageSizes().itemText(index);
        return titles;
    }

    QStringList nameBoxItems() const
    {
        QStringList titles;
        for (int index = 0; index < nameBox().count(); ++index)
            titles << nameBox().itemText(index);
        return titles;
    }

    // A preset file written as a user's editor would leave it.
    void writePresetFile(const QVariantMap& presets) const
    {
        config.writePreferenceFile(kPresetPrefFileFormat, PlistVariant::toXml(presets));
    }

    static QVariantMap entry(const QString& unit, const QStringList& values, qlonglong position)
    {
        QVariantMap result{{"InputType", unit}, {"PresetIndex", position}};
        const QStringList keys{"Width", "Height", "Left", "Top", "Right", "Bottom"};
        for (int i = 0; i < keys.size() && i < values.size(); ++i)
            result.insert(keys[i], values[i]);
        return result;
    }
};
