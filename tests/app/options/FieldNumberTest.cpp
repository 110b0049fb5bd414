#include "app/options/FieldNumber.h"

#include <gtest/gtest.h>

namespace {

TEST(FieldNumber, LeadingValueReadsTheNumberATextStartsWith)
{
    EXPECT_DOUBLE_EQ(FieldNumber::leadingValue("12abc"), 12.0);
    EXPECT_DOUBLE_EQ(FieldNumber::leadingValue("  -3.5e2x"), -350.0);
    EXPECT_DOUBLE_EQ(FieldNumber::leadingValue(".5"), 0.5);
    EXPECT_DOUBLE_EQ(FieldNumber::leadingValue("12."), 12.0);
    // No leading number, and the forms nobody types as a size, read 0.
    for (const char* text : {"", "abc", "-", ".", "nan", "NaN", "inf", "-infinity", "0x1A", "1e999"})
        EXPECT_DOUBLE_EQ(FieldNumber::leadingValue(text), 0.0) << text;
}

TEST(FieldNumber, CheckedValueTakesOnlyWholeFiniteNumbers)
{
    EXPECT_EQ(FieldNumber::checkedValue(""), 0.0f);
    EXPECT_EQ(FieldNumber::checkedValue(" 12.5 "), 12.5f);
    EXPECT_EQ(FieldNumber::checkedValue("12."), 12.0f);
    EXPECT_EQ(FieldNumber::checkedValue("-0.5"), -0.5f);
    EXPECT_EQ(FieldNumber::checkedValue("8.27"), 8.27f);
    for (const char* text : {"12abc", "nan", "inf", "%2", "1e39", "0x10", " ", "1,5"})
        EXPECT_FALSE(FieldNumber::checkedValue(text).has_value()) << text;
}

TEST(FieldNumber, FormatShowsTheShortNumberForm)
{
    EXPECT_EQ(FieldNumber::format(210.0), "210");
    EXPECT_EQ(FieldNumber::format(27.2), "27.2");
    EXPECT_EQ(FieldNumber::format(8.27), "8.27");
    EXPECT_EQ(FieldNumber::format(0.1 + 0.2), "0.3");
    EXPECT_EQ(FieldNumber::format(32000.0), "32000");
}

TEST(FieldNumber, NumberBeingTypedIsAPointOrZerosAfterIt)
{
    for (const char* text : {"12.", ".", "0.0", "12.50", "-1.0"})
        EXPECT_TRUE(FieldNumber::isNumberBeingTyped(text)) << text;
    for (const char* text : {"12.5", "10", "abc0", "1.0abc", ""})
        EXPECT_FALSE(FieldNumber::isNumberBeingTyped(text)) << text;
}

} // namespace
