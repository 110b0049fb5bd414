#include "app/options/PageValueText.h"

#include <gtest/gtest.h>

namespace {

TEST(PageValueText, LeadingValueReadsTheNumberATextStartsWith)
{
    EXPECT_DOUBLE_EQ(PageValueText::leadingValue("12abc"), 12.0);
    EXPECT_DOUBLE_EQ(PageValueText::leadingValue("  -3.5e2x"), -350.0);
    EXPECT_DOUBLE_EQ(PageValueText::leadingValue(".5"), 0.5);
    EXPECT_DOUBLE_EQ(PageValueText::leadingValue("12."), 12.0);
    // No leading number, and the forms nobody types as a size, read 0.
    for (const char* text : {"", "abc", "-", ".", "nan", "NaN", "inf", "-infinity", "0x1A", "1e999"})
        EXPECT_DOUBLE_EQ(PageValueText::leadingValue(text), 0.0) << text;
}

TEST(PageValueText, CheckedValueTakesOnlyWholeFiniteNumbers)
{
    EXPECT_EQ(PageValueText::checkedValue(""), 0.0f);
    EXPECT_EQ(PageValueText::checkedValue(" 12.5 "), 12.5f);
    EXPECT_EQ(PageValueText::checkedValue("12."), 12.0f);
    EXPECT_EQ(PageValueText::checkedValue("-0.5"), -0.5f);
    EXPECT_EQ(PageValueText::checkedValue("8.27"), 8.27f);
    for (const char* text : {"12abc", "nan", "inf", "%2", "1e39", "0x10", " ", "1,5"})
        EXPECT_FALSE(PageValueText::checkedValue(text).has_value()) << text;
}

TEST(PageValueText, FormatShowsTheShortNumberForm)
{
    EXPECT_EQ(PageValueText::format(210.0), "210");
    EXPECT_EQ(PageValueText::format(27.2), "27.2");
    EXPECT_EQ(PageValueText::format(8.27), "8.27");
    EXPECT_EQ(PageValueText::format(0.1 + 0.2), "0.3");
    EXPECT_EQ(PageValueText::format(32000.0), "32000");
}

TEST(PageValueText, NumberBeingTypedIsAPointOrZerosAfterIt)
{
    for (const char* text : {"12.", ".", "0.0", "12.50", "-1.0"})
        EXPECT_TRUE(PageValueText::isNumberBeingTyped(text)) << text;
    for (const char* text : {"12.5", "10", "abc0", "1.0abc", ""})
        EXPECT_FALSE(PageValueText::isNumberBeingTyped(text)) << text;
}

} // namespace
