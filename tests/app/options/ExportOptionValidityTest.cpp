#include "app/options/ExportOptionValidation.h"
#include "support/AlertAnswerer.h"
#include "app/support/PanelTestFixture.h"

#include <QApplication>
#include <QMessageBox>

namespace {

const QStringList kA4{"210", "297", "27.2", "27.2", "27.2", "27.2"};

struct BadValues {
    QStringList texts; // width, height, left, top, right, bottom
    QString title;
    ExportOptionsPanel::ValueField focus;
    bool offersDiscard;
};

class ExportOptionValidityTest : public PanelTestFixture {
protected:
    // The window becomes active again once the platform has handled the alert's closing.
    static bool hasFocusOnceActive(const QLineEdit& expected)
    {
        return spinUntil([&expected] { return QApplication::focusWidget() == &expected; });
    }

    // Runs the check with the alert answered by the button; the alert seen, if any.
    std::optional<AlertAnswerer::SeenAlert> check(const QString& answer, bool* valid = nullptr)
    {
        AlertAnswerer answerer(QStringList{answer});
        const bool result = panel->ISExportOptionValid();
        if (valid)
            *valid = result;
        EXPECT_EQ(answerer.unexpectedCount(), 0);
        if (answerer.seen().empty())
            return std::nullopt;
        return answerer.last();
    }
};

TEST_F(ExportOptionValidityTest, EachBadValueIsNamedAndFocused)
{
    using F = ExportOptionsPanel::ValueField;
    const std::vector<BadValues> cases{
        {{"", "297", "0", "0", "0", "0"}, R"(The provided width value "" is not proper.)", F::Width, true},
        {{"210", "0", "0", "0", "0", "0"}, R"(The provided height value "0" is not proper.)", F::Height, true},
        {{"210", "297", "211", "0", "0", "0"}, R"(The provided left margin value "211" is not proper.)", F::Left, true},
        {{"210", "297", "0", "298", "0", "0"}, R"(The provided top margin value "298" is not proper.)", F::Top, true},
        {{"210", "297", "0", "0", "210.5", "0"}, R"(The provided right margin value "210.5" is not proper.)", F::Right, true},
        {{"210", "297", "0", "0", "0", "300"}, R"(The provided bottom margin value "300" is not proper.)", F::Bottom, true},
        {{"210", "297", "110", "0", "100.01", "0"},
         R"(The provided total of left("110") and right("100.01") margin values are exceeding provided page width.)",
         F::Left,
         false},
        {{"210", "297", "0", "150", "0", "147.5"},
         R"(The provided total of top("150") and bottom("147.5") margin values are exceeding provided page height.)",
         F::Top,
         false},
    };
    for (const BadValues& bad : cases) {
        SCOPED_TRACE(bad.title.toStdString());
        setTexts(bad.texts);
        field(ExportOptionsPanel::ValueField::Width).setFocus(); // somewhere else than the culprit, mostly
        bool valid = true;
        const auto alert = check("OK", &valid);
        EXPECT_FALSE(valid);
        ASSERT_TRUE(alert.has_value());
        EXPECT_EQ(alert->title, bad.title);
        EXPECT_EQ(alert->message, "Please enter proper value");
        EXPECT_EQ(alert->buttons, bad.offersDiscard ? (QStringList{"OK", "Discard Value"}) : QStringList{"OK"});
        EXPECT_EQ(alert->parent, panel.get());
        EXPECT_EQ(alert->modality, Qt::WindowModal);
        EXPECT_TRUE(hasFocusOnceActive(field(bad.focus)));
        EXPECT_EQ(texts(), bad.texts); // "OK" keeps every text
    }
}

TEST_F(ExportOptionValidityTest, BoundaryValuesPass)
{
    bool valid = false;
    // A margin as wide as the page, and two margins that fill it exactly.
    setTexts({"210", "297", "210", "0", "0", "297"});
    EXPECT_FALSE(check("OK", &valid).has_value());
    EXPECT_TRUE(valid);
    setTexts({"8.27", "11.69", "4.135", "5.845", "4.135", "5.845"});
    EXPECT_FALSE(check("OK", &valid).has_value());
    EXPECT_TRUE(valid);
    // Empty margins count as 0.
    setTexts({"210", "297", "", "", "", ""});
    EXPECT_FALSE(check("OK", &valid).has_value());
    EXPECT_TRUE(valid);
}

TEST_F(ExportOptionValidityTest, DiscardValueEmptiesTheFieldAndTheNextCheckPassesIt)
{
    setTexts({"210", "297", "0", "0", "250", "0"});
    const auto alert = check("Discard Value");
    ASSERT_TRUE(alert.has_value());
    EXPECT_EQ(field(Field::Right).text(), "");
    EXPECT_DOUBLE_EQ(stepper(Field::Right).value(), 0.0);
    EXPECT_TRUE(hasFocusOnceActive(field(Field::Right)));

    bool valid = false;
    EXPECT_FALSE(check("OK", &valid).has_value());
    EXPECT_TRUE(valid);
}

TEST_F(ExportOptionValidityTest, ValuesShownInAnotherUnitAreCheckedAsTheExportTakesThem)
{
    using UserActions::chooseText;
    bool valid = false;
    // 5 + 5 mm fill a 10 mm page exactly, though 0.20 + 0.20 inches shown exceed 0.39.
    setTexts({"10", "10", "5", "5", "5", "5"});
    chooseText(units(), "Inches");
    EXPECT_FALSE(check("OK", &valid).has_value());
    EXPECT_TRUE(valid);
    // 105.004 + 105.004 mm exceed 210 mm, though 4.13 + 4.13 inches shown fit in 8.27.
    chooseText(units(), "Millimeters");
    setTexts({"210", "297", "105.004", "0", "105.004", "0"});
    chooseText(units(), "Inches");
    const auto alert = check("OK", &valid);
    ASSERT_TRUE(alert.has_value());
    EXPECT_FALSE(valid);
    EXPECT_EQ(alert->title, R"(The provided total of left("4.13") and right("4.13") margin values are exceeding provided page width.)");

    // A value discarded while shown in another unit is exported as the empty field it leaves.
    chooseText(units(), "Millimeters");
    setTexts({"210", "297", "250", "0", "0", "0"});
    chooseText(units(), "Inches");
    ASSERT_TRUE(check("Discard Value").has_value());
    EXPECT_EQ(field(Field::Left).text(), "");
    EXPECT_DOUBLE_EQ(panel->pageGeometryInPoints().left, 0.0);
    EXPECT_FALSE(check("OK", &valid).has_value());
    EXPECT_TRUE(valid);
}

TEST_F(ExportOptionValidityTest, EscapeClosesTheAlertButNeverDiscardsTheValue)
{
    setTexts({"210", "297", "0", "0", "250", "0"});
    bool stayedAfterEscape = true;
    AlertAnswerer answerer({[&stayedAfterEscape](QMessageBox& box) {
        QTest::keyClick(&box, Qt::Key_Escape);
        QCoreApplication::processEvents();
        stayedAfterEscape = box.isVisible();
        if (box.isVisible())
            AlertAnswerer::click("OK")(box);
    }});
    EXPECT_FALSE(panel->ISExportOptionValid());
    EXPECT_FALSE(stayedAfterEscape);
    EXPECT_EQ(field(Field::Right).text(), "250");
    EXPECT_DOUBLE_EQ(stepper(Field::Right).value(), 27.2);
}

TEST_F(ExportOptionValidityTest, TextThatIsNoNumberIsRefusedAndShownAsItStands)
{
    // Texts a preset file may bring into the fields; typing would have rewritten them.
    for (const QString& bad : {QStringLiteral("nan"), QStringLiteral("inf"), QStringLiteral("12abc"),
                               QStringLiteral("%2"), QStringLiteral("1e39")}) {
        setTexts(kA4);
        field(Field::Width).setText(bad);
        const auto alert = check("OK");
        ASSERT_TRUE(alert.has_value()) << bad.toStdString();
        EXPECT_EQ(alert->title, QStringLiteral("The provided width value \"%1\" is not proper.").arg(bad));
    }
    setTexts(kA4);
    field(Field::Right).setText("-0.5");
    auto negative = check("OK");
    ASSERT_TRUE(negative.has_value());
    EXPECT_EQ(negative->title, R"(The provided right margin value "-0.5" is not proper.)");

    setTexts(kA4);
    field(Field::Bottom).setText("nan");
    const auto alert = check("OK");
    ASSERT_TRUE(alert.has_value());
    EXPECT_EQ(alert->title, R"(The provided bottom margin value "nan" is not proper.)");
}

} // namespace
