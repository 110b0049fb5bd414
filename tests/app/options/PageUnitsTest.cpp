#include "app/options/FixedPageSizes.h"
#include "app/options/PageUnits.h"

#include <gtest/gtest.h>

namespace {

using namespace PageUnits;

TEST(PageUnits, FactorsGiveTruePaperSizes)
{
    EXPECT_DOUBLE_EQ(SizeTypeFactor(kInchTag), 72.0);
    EXPECT_DOUBLE_EQ(SizeTypeFactor(kPointTag), 1.0);
    EXPECT_NEAR(210 * SizeTypeFactor(kMillimetreTag), 595.28, 0.005);
    EXPECT_NEAR(297 * SizeTypeFactor(kMillimetreTag), 841.89, 0.005);
    EXPECT_NEAR(21.0 * SizeTypeFactor(kCentimetreTag), 595.28, 0.005);
    EXPECT_NEAR(25.4 * SizeTypeFactor(kMillimetreTag), SizeTypeFactor(kInchTag), 1e-9);
    for (const int tag : {0, 1, 2, 7, -1})
        EXPECT_DOUBLE_EQ(SizeTypeFactor(tag), -1.0) << tag;
}

TEST(PageUnits, ConversionRoundsToHundredthsWithHalvesUp)
{
    EXPECT_DOUBLE_EQ(convertForUnitChange(210, kMillimetreTag, kInchTag), 8.27);
    EXPECT_DOUBLE_EQ(convertForUnitChange(27.2, kMillimetreTag, kInchTag), 1.07);
    EXPECT_DOUBLE_EQ(convertForUnitChange(21, kCentimetreTag, kMillimetreTag), 210.0);
    EXPECT_DOUBLE_EQ(convertForUnitChange(0.125, kPointTag, kPointTag), 0.13);
    EXPECT_DOUBLE_EQ(convertForUnitChange(-0.125, kPointTag, kPointTag), -0.12);
    EXPECT_DOUBLE_EQ(convertForUnitChange(1, kInchTag, kPointTag), 72.0);
}

TEST(PageUnits, StoredUnitNamesSurviveCaseBlanksAndTitles)
{
    for (const int tag : kTags) {
        EXPECT_EQ(unitTagForStoredName(unitStorageName(tag)), tag);
        EXPECT_EQ(unitTagForStoredName(unitTitle(tag)), tag);
        EXPECT_EQ(unitTagForStoredName(" " + unitTitle(tag).toUpper() + "\n"), tag);
    }
    EXPECT_EQ(unitStorageName(kCentimetreTag), "cm");
    for (const char* name : {"", "furlongs", "m", "Millimetres and more"})
        EXPECT_FALSE(unitTagForStoredName(name).has_value()) << name;
}

TEST(FixedPageSizes, IndexesOutsideTheFixedSizesCarryNone)
{
    EXPECT_FALSE(FixedPageSizes::paperSizeAt(0).has_value());
    EXPECT_FALSE(FixedPageSizes::paperSizeAt(1).has_value());
    EXPECT_FALSE(FixedPageSizes::paperSizeAt(16).has_value());
    EXPECT_FALSE(FixedPageSizes::paperSizeAt(17).has_value());
    EXPECT_DOUBLE_EQ(FixedPageSizes::paperSizeAt(2)->heightMm, 420.0);
    EXPECT_DOUBLE_EQ(FixedPageSizes::paperSizeAt(15)->widthMm, 216.0);
}

} // namespace
