// The options record as the window fills it: sizes in points from the unit shown, the flags,
// the orientation, the encoding and the document fields.
#include "common/ConversionProgressDelegate.h"
#include "common/TomefoldConversionOptions.h"
#include "app/conversion/ConversionSettings.h"
#include "app/options/ExportOptionsPanel.h"
#include "app/options/PageUnits.h"
#include "app/support/UserActions.h"
#include "support/StubProgressDelegate.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPageLayout>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ConversionSettingsTest : public testing::Test {
protected:
    void SetUp() override
    {
        panel = std::make_unique<ExportOptionsPanel>();
        panel->show();
        panel->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(panel.get()));
    }

    TomefoldConversionOptions settings()
    {
        TomefoldConversionOptions options;
        EXPECT_TRUE(GetConversionSettings(*panel, &delegate, &options));
        return options;
    }

    void chooseUnit(int tag)
    {
        QComboBox& units = *panel->outlets().inSizeTypePopupOutlet;
        UserActions::choose(units, units.findData(tag));
    }

    ScopedConfigHome config;
    std::unique_ptr<ExportOptionsPanel> panel;
    StubProgressDelegate delegate;
};

TEST_F(ConversionSettingsTest, AnA4PageInMillimetresBecomesItsSizeInPoints)
{
    const TomefoldConversionOptions options = settings();
    EXPECT_NEAR(options.pageWidth, 595.2756, 1e-3);
    EXPECT_NEAR(options.pageHeight, 841.8898, 1e-3);
    // 27.2 mm, as the field's single-precision value.
    const double margin = double(27.2f) * 72.0 / 25.4;
    EXPECT_NEAR(options.leftMargin, margin, 1e-9);
    EXPECT_NEAR(options.rightMargin, margin, 1e-9);
    EXPECT_NEAR(options.topMargin, margin, 1e-9);
    EXPECT_NEAR(options.bottomMargin, margin, 1e-9);
}

TEST_F(ConversionSettingsTest, ValuesInPointsPassUnchangedAndEachMarginGoesToItsOwnField)
{
    chooseUnit(PageUnits::kPointTag);
    UserActions::retype(*panel->outlets().widthEditFieldOutlet, QStringLiteral("612"));
    UserActions::retype(*panel->outlets().heightEditFieldOutlet, QStringLiteral("792"));
    UserActions::retype(*panel->outlets().leftEditFieldOutlet, QStringLiteral("10"));
    UserActions::retype(*panel->outlets().topEditFieldOutlet, QStringLiteral("20"));
    UserActions::retype(*panel->outlets().rightEditFieldOutlet, QStringLiteral("30"));
    UserActions::retype(*panel->outlets().bottomEditFieldOutlet, QStringLiteral("40"));
    const TomefoldConversionOptions options = settings();
    EXPECT_EQ(options.pageWidth, 612.0);
    EXPECT_EQ(options.pageHeight, 792.0);
    EXPECT_EQ(options.leftMargin, 10.0);
    EXPECT_EQ(options.topMargin, 20.0);
    EXPECT_EQ(options.rightMargin, 30.0);
    EXPECT_EQ(options.bottomMargin, 40.0);
}

TEST_F(ConversionSettingsTest, TheRecordCarriesTheChoicesAndNeverANullDocumentField)
{
    TomefoldConversionOptions options = settings();
    EXPECT_EQ(options.exportHyperlinks, 1);
    EXPECT_EQ(options.exportTOC, 1);
    EXPECT_EQ(options.orientation, std::uint64_t(QPageLayout::Portrait));
    EXPECT_TRUE(options.encodingName.isNull()); // automatic: the document's own
    EXPECT_EQ(options.progressCallback.object, &delegate);
    EXPECT_TRUE(options.sourceURL.isEmpty());
    EXPECT_TRUE(options.destinationURL.isEmpty());
    for (const QString* text : {&options.title, &options.author, &options.subject, &options.keywords}) {
        EXPECT_FALSE(text->isNull());
        EXPECT_TRUE(text->isEmpty());
    }

    const ExportOptionsOutlets& o = panel->outlets();
    o.exportHyperlinks->click();
    o.exportTOC->click();
    o.orientationRadioButtonOutlet->button(QPageLayout::Landscape)->click();
    UserActions::retype(*o.mTitleEditFieldOutlet, QStringLiteral("Manual"));
    UserActions::retype(*o.mKeywordsEditFieldOutlet, QStringLiteral("help, chm"));
    ASSERT_GT(o.textEncodingPopupOutlet->count(), 3);
    UserActions::choose(*o.textEncodingPopupOutlet, 3);
    options = settings();
    EXPECT_EQ(options.exportHyperlinks, 0);
    EXPECT_EQ(options.exportTOC, 0);
    EXPECT_EQ(options.orientation, std::uint64_t(QPageLayout::Landscape));
    EXPECT_EQ(options.title, QStringLiteral("Manual"));
    EXPECT_EQ(options.keywords, QStringLiteral("help, chm"));
    EXPECT_TRUE(options.author.isEmpty() && !options.author.isNull());
    EXPECT_EQ(options.encodingName, panel->GetCurrentEncodingName());
    EXPECT_FALSE(options.encodingName.isEmpty());
}

} // namespace
