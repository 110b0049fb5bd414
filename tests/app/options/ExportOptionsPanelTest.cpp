#include "app/options/PageUnits.h"
#include "app/options/PageValueText.h"
#include "support/AlertAnswerer.h"
#include "app/support/PanelTestFixture.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QPageLayout>
#include <QRadioButton>

namespace {

using UserActions::choose;
using UserActions::chooseText;
using UserActions::retype;

const QStringList kA4InMillimetres{"210", "297", "27.2", "27.2", "27.2", "27.2"};

class ExportOptionsPanelTest : public PanelTestFixture {};

TEST_F(ExportOptionsPanelTest, FirstStartShowsA4InMillimetresAsTruePaperSize)
{
    EXPECT_EQ(pageSizes().currentIndex(), 3);
    EXPECT_EQ(pageSizes().count(), 17);
    EXPECT_EQ(units().currentData().toInt(), PageUnits::kMillimetreTag);
    EXPECT_EQ(texts(), kA4InMillimetres);
    EXPECT_DOUBLE_EQ(stepper(Field::Width).value(), 210.0);
    EXPECT_DOUBLE_EQ(stepper(Field::Bottom).value(), 27.2);

    const ExportOptionsPanel::PageGeometry points = panel->pageGeometryInPoints();
    EXPECT_NEAR(points.width, 595.28, 0.01);
    EXPECT_NEAR(points.height, 841.89, 0.01);
    EXPECT_NEAR(points.left, 77.10, 0.01);
    EXPECT_NEAR(points.right, 77.10, 0.01);
}

TEST_F(ExportOptionsPanelTest, TypingKeepsANumberBeingTypedAndDropsTrailingJunk)
{
    QLineEdit& width = field(Field::Width);
    retype(width, "12.");
    EXPECT_EQ(width.text(), "12.");
    retype(width, "12.5");
    EXPECT_EQ(width.text(), "12.5");
    retype(width, "12abc");
    EXPECT_EQ(width.text(), "12");
    retype(width, "0.05");
    EXPECT_EQ(width.text(), "0.05");
    retype(width, "7.250");
    EXPECT_EQ(width.text(), "7.250");

    // Typing selects the custom entry and leaves the stepper where it was.
    EXPECT_EQ(pageSizes().currentIndex(), 0);
    EXPECT_DOUBLE_EQ(stepper(Field::Width).value(), 210.0);
}

TEST_F(ExportOptionsPanelTest, ValueAbove32000IsReplacedByTheSteppersValue)
{
    retype(field(Field::Height), "40000");
    EXPECT_EQ(field(Field::Height).text(), "297");
    retype(field(Field::Height), "32000");
    EXPECT_EQ(field(Field::Height).text(), "32000");
}

TEST_F(ExportOptionsPanelTest, ClearingAFieldSelectsCustomAndLeavesItEmpty)
{
    UserActions::clear(field(Field::Left));
    EXPECT_EQ(field(Field::Left).text(), "");
    EXPECT_EQ(pageSizes().currentIndex(), 0);
}

TEST_F(ExportOptionsPanelTest, StepperWritesItsOwnValueIntoTheFieldWithinItsLimits)
{
    UserActions::stepUp(stepper(Field::Width));
    EXPECT_EQ(field(Field::Width).text(), "211");
    EXPECT_EQ(pageSizes().currentIndex(), 0);

    // The stepper ignores what was typed meanwhile: it steps from its own value.
    retype(field(Field::Width), "12");
    UserActions::stepUp(stepper(Field::Width));
    EXPECT_EQ(field(Field::Width).text(), "212");

    retype(field(Field::Left), "0");
    stepper(Field::Left).setValue(0);
    UserActions::stepDown(stepper(Field::Left));
    EXPECT_EQ(field(Field::Left).text(), "0");

    // From the keyboard it steps from its field, and is no stop of its own for Tab.
    QTest::keyClick(&field(Field::Top), Qt::Key_Up);
    EXPECT_EQ(field(Field::Top).text(), "28.2");
    EXPECT_EQ(stepper(Field::Top).focusPolicy(), Qt::NoFocus);
}

TEST_F(ExportOptionsPanelTest, AnotherUnitShowsHundredthsButKeepsTheEnteredValue)
{
    chooseText(units(), "Inches");
    EXPECT_EQ(texts(), (QStringList{"8.27", "11.69", "1.07", "1.07", "1.07", "1.07"}));
    EXPECT_EQ(panel->currentSizeFormatType(), PageUnits::kInchTag);
    EXPECT_DOUBLE_EQ(stepper(Field::Height).value(), 11.69);
    // The export takes the page as entered, not the rounded inches shown.
    EXPECT_NEAR(panel->pageGeometryInPoints().width, 595.28, 0.01);
    EXPECT_NEAR(panel->pageGeometryInPoints().left, 77.10, 0.01);

    // Back in millimetres every value is the one entered, not 210.06 by 296.93.
    chooseText(units(), "Millimeters");
    EXPECT_EQ(texts(), kA4InMillimetres);

    // Choosing the unit already in use changes nothing.
    chooseText(units(), "Millimeters");
    EXPECT_EQ(texts(), kA4InMillimetres);

    chooseText(units(), "Points");
    EXPECT_EQ(texts(), (QStringList{"595.28", "841.89", "77.10", "77.10", "77.10", "77.10"}));
    EXPECT_NEAR(panel->pageGeometryInPoints().width, 595.28, 0.01);
}

TEST_F(ExportOptionsPanelTest, APresetSavedInAnotherUnitStoresTheValuesTheExportTakes)
{
    chooseText(units(), "Inches");
    QVariantMap entry;
    panel->GetPreferenceValue(&entry);
    const ExportOptionsPanel::PageGeometry exported = panel->pageGeometryInPoints();
    const auto stored = [&entry](const char* key) {
        return double(float(PageValueText::leadingValue(entry.value(QString::fromLatin1(key)).toString())))
               * PageUnits::SizeTypeFactor(PageUnits::kInchTag);
    };
    EXPECT_NEAR(stored("Width"), exported.width, 1e-3);
    EXPECT_NEAR(stored("Left"), exported.left, 1e-3); // "1.07" would give 76.91 for 77.10
    EXPECT_NEAR(stored("Bottom"), exported.bottom, 1e-3);
}

TEST_F(ExportOptionsPanelTest, SwitchingUnitsBackAndForthLeavesEveryValueAsItWas)
{
    chooseText(units(), "Points");
    const QStringList typed{"595.3", "841.9", "77.10", "12.34", "0.5", "100"};
    setTexts(typed);
    const ExportOptionsPanel::PageGeometry before = panel->pageGeometryInPoints();
    for (int round = 0; round < 3; ++round) {
        for (const char* unit : {"Inches", "Centimeters", "Inches", "Millimeters", "Points"})
            chooseText(units(), unit);
    }
    EXPECT_EQ(texts(), typed);
    const ExportOptionsPanel::PageGeometry after = panel->pageGeometryInPoints();
    EXPECT_DOUBLE_EQ(after.width, before.width);
    EXPECT_DOUBLE_EQ(after.left, before.left);
    EXPECT_DOUBLE_EQ(after.top, before.top);
    EXPECT_DOUBLE_EQ(after.right, before.right);
    EXPECT_DOUBLE_EQ(after.bottom, before.bottom);

    // A value typed in another unit is the one kept from then on; the others stay as entered.
    chooseText(units(), "Inches");
    retype(field(Field::Left), "1.5");
    chooseText(units(), "Points");
    EXPECT_EQ(texts(), (QStringList{"595.3", "841.9", "108.00", "12.34", "0.5", "100"}));
    // So is a stepped one.
    chooseText(units(), "Millimeters");
    UserActions::stepUp(stepper(Field::Top));
    chooseText(units(), "Points");
    EXPECT_EQ(field(Field::Top).text(), "15.17"); // 4.35 mm shown, stepped to 5.35
}

TEST_F(ExportOptionsPanelTest, FixedSizeSwitchesToMillimetresWithItsMargins)
{
    chooseText(units(), "Inches");
    chooseText(pageSizes(), "US Letter");
    EXPECT_EQ(pageSizes().currentIndex(), 15);
    EXPECT_EQ(units().currentData().toInt(), PageUnits::kMillimetreTag);
    EXPECT_EQ(texts(), (QStringList{"216", "279", "27.2", "27.2", "27.2", "27.2"}));
    EXPECT_DOUBLE_EQ(stepper(Field::Height).value(), 279.0);

    chooseText(pageSizes(), "A3");
    EXPECT_EQ(texts(), (QStringList{"297", "420", "27.2", "27.2", "27.2", "27.2"}));
}

TEST_F(ExportOptionsPanelTest, EntriesWithoutSizeChangeNothing)
{
    retype(field(Field::Width), "100");
    for (const int index : {0, 1, 16}) {
        pageSizes().setCurrentIndex(index);
        panel->ChangePageSizePresetPopup();
        EXPECT_EQ(field(Field::Width).text(), "100") << index;
    }
}

TEST_F(ExportOptionsPanelTest, ExportReadsOrientationFlagsEncodingAndDocumentFields)
{
    EXPECT_EQ(panel->orientation(), unsigned(QPageLayout::Portrait));
    QTest::mouseClick(panel->outlets().orientationRadioButtonOutlet->button(QPageLayout::Landscape), Qt::LeftButton);
    EXPECT_EQ(panel->orientation(), unsigned(QPageLayout::Landscape));

    EXPECT_TRUE(panel->exportsHyperlinks());
    panel->outlets().exportHyperlinks->setFocus();
    QTest::keyClick(panel->outlets().exportHyperlinks, Qt::Key_Space);
    EXPECT_FALSE(panel->exportsHyperlinks());
    EXPECT_TRUE(panel->exportsTOC());

    EXPECT_TRUE(panel->GetCurrentEncodingName().isNull());
    chooseText(*panel->outlets().textEncodingPopupOutlet, "Japanese (Shift JIS)");
    EXPECT_EQ(panel->GetCurrentEncodingName(), "Shift_JIS");

    EXPECT_FALSE(panel->documentTitle().isNull());
    EXPECT_EQ(panel->documentTitle(), "");
    QTest::keyClicks(panel->outlets().mAuthorEditFieldOutlet, "Ada");
    EXPECT_EQ(panel->documentAuthor(), "Ada");
}

} // namespace
