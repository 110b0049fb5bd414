#pragma once

#include "app/options/ExportOptionsPanel.h"
#include "app/options/Stepper.h"
#include "app/support/UserActions.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

// A panel shown as its own active window, over an empty preferences folder.
class PanelTestFixture : public ::testing::Test {
protected:
    using Field = ExportOptionsPanel::ValueField;

    void SetUp() override { openPanel(); }

    void openPanel()
    {
        panel = std::make_unique<ExportOptionsPanel>();
        panel->show();
        panel->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(panel.get()));
    }

    // A new panel over the same preference files, as after a restart.
    void restart()
    {
        panel.reset();
        openPanel();
    }

    QLineEdit& field(Field which) const { return *panel->field(which); }
    Stepper& stepper(Field which) const { return *panel->stepper(which); }
    QComboBox& pageSizes() const { return *panel->outlets().PageSizePopupOutlet; }
    QComboBox& units() const { return *panel->outlets().inSizeTypePopupOutlet; }

    // The six texts in the order width, height, left, top, right, bottom.
    QStringList texts() const
    {
        QStringList all;
        for (const Field which : {Field::Width, Field::Height, Field::Left, Field::Top, Field::Right, Field::Bottom})
            all << field(which).text();
        return all;
    }

    void setTexts(const QStringList& values)
    {
        int i = 0;
        for (const Field which : {Field::Width, Field::Height, Field::Left, Field::Top, Field::Right, Field::Bottom})
            UserActions::retype(field(which), values.value(i++));
    }

    ScopedConfigHome config;
    std::unique_ptr<ExportOptionsPanel> panel;
};
