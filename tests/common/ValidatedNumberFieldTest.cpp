#include "common/PageRangeNumberField.h"
#include "common/ValidatedNumberComboBox.h"
#include "common/ValidatedNumberField.h"

#include <QLocale>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Typing {
    NumberFieldType type;
    QString keys;
    QString whileTyping;     // the text after the last key
    QString afterEditing;    // the text after Return
};

std::ostream& operator<<(std::ostream& stream, const Typing& typing)
{
    return stream << int(typing.type) << " '" << typing.keys.toStdString() << "'";
}

class NumberFieldTyping : public testing::TestWithParam<Typing> {};

TEST_P(NumberFieldTyping, KeepsTheTextANumberAndCorrectsItWhenEditingEnds)
{
    const Typing& typing = GetParam();
    ValidatedNumberField field(typing.type);
    QTest::keyClicks(&field, typing.keys);
    EXPECT_EQ(field.text(), typing.whileTyping);
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(field.text(), typing.afterEditing);
}

using T = NumberFieldType;

INSTANTIATE_TEST_SUITE_P(PageCount, NumberFieldTyping, testing::Values(
    Typing {T::PageCountNumberField, "0", "0", "1"},      // out of range, but a number: corrected at the end
    Typing {T::PageCountNumberField, "x", "1", "1"},      // garbage is corrected at once
    Typing {T::PageCountNumberField, "-", "1", "1"},
    Typing {T::PageCountNumberField, "12a", "12", "12"},
    Typing {T::PageCountNumberField, "7 ", "7 ", "7 "},   // white space after a number is allowed
    Typing {T::PageCountNumberField, " 7", "17", "17"}    // but a leading blank is no number yet: 1
));

INSTANTIATE_TEST_SUITE_P(ShadowOffsets, NumberFieldTyping, testing::Values(
    Typing {T::ShadowXOffsetNumberField, "-", "-", "-"}, // a lone "-" is kept to type a negative number
    Typing {T::ShadowXOffsetNumberField, "-7000", "-7000", "-5000"},
    Typing {T::ShadowXOffsetNumberField, "-5000", "-5000", "-5000"},
    Typing {T::ShadowYOffsetNumberField, "-4999", "-4999", "-4999"},
    Typing {T::ShadowYOffsetNumberField, "-9000x", "-5000", "-5000"}
));

INSTANTIATE_TEST_SUITE_P(Reals, NumberFieldTyping, testing::Values(
    Typing {T::FileSizeNumberField, "0.2", "0.2", "0"},     // below the minimum: integer 0 at the end
    Typing {T::FileSizeNumberField, "0.2x", "0.5", "0.5"},
    Typing {T::FileSizeNumberField, "1.25", "1.25", "1.25"},
    Typing {T::StartDigitNumberField, "-", "0", "0"},
    Typing {T::StartDigitNumberField, "2.5e1", "2.51", "2.51"}, // "2.5e" is no number yet: 2.5
    Typing {T::NumberField, "nan", "0", "0"},                 // never a number, whatever the C library says
    Typing {T::NumberField, "inf", "0", "0"},
    Typing {T::NumberField, "0x1", "01", "01"},              // "0x" is no number: 0
    Typing {T::CharSpaceField, "1.5", "1.5", "1.5"},
    Typing {T::CharSpaceField, "-", "0", "0"}
));

INSTANTIATE_TEST_SUITE_P(Wholes, NumberFieldTyping, testing::Values(
    Typing {T::WholeNumberField, "2.5", "25", "25"},           // "2." is no int: rewritten as 2
    Typing {T::WholeNumberField, "-", "0", "0"},
    Typing {T::ZeroCountNumberField, "-4x", "4", "4"},         // "-" gives 0 at once, then "04", "04x"
    Typing {T::FontSizeNumberField, "0", "0", "1"},
    Typing {T::RotationAngleNumberField, "0", "0", "0"},
    Typing {T::RotationAngleNumberField, "-", "0", "0"},
    Typing {T::ShadowBlurNumberField, "x", "0", "0"},
    Typing {T::ScaleFactorNumberField, "5", "5", "10"},
    Typing {T::ScaleFactorNumberField, "5x", "10", "10"},
    Typing {T::ScaleFactorNumberField, "250", "250", "250"}
));

INSTANTIATE_TEST_SUITE_P(Percentages, NumberFieldTyping, testing::Values(
    Typing {T::PDFScaleNumberField, "150%", "150%", "150%"},
    Typing {T::PDFScaleNumberField, "%", "1", "1"},
    Typing {T::PDFScaleNumberField, "50 %", "50%", "50%"},      // a blank is no skippable character here
    Typing {T::PDFScaleNumberField, "0", "0", "1"},
    Typing {T::ScaleComboBox, "7000", "6400", "6400"},          // the maximum applies at once
    Typing {T::ScaleComboBox, "%9999", "6400", "6400"},
    Typing {T::ScaleComboBox, "0", "0", "0"},                   // nothing is corrected at the end
    Typing {T::ScaleComboBox, "0x", "1", "1"},
    Typing {T::ResolutionComboBox, "0", "0", "1"}
));

TEST(ValidatedNumberField, LeavesAClearedFieldEmptyWhileTyping)
{
    ValidatedNumberField field(NumberFieldType::PageCountNumberField);
    QTest::keyClicks(&field, "5");
    QTest::keyClick(&field, Qt::Key_Backspace);
    EXPECT_EQ(field.text(), "");
}

// Pasted text arrives in one edit, so a negative or "%"-led number can reach the rules whole.
TEST(ValidatedNumberField, CorrectsPastedTextInOneStep)
{
    const auto pasted = [](NumberFieldType type, const QString& text) {
        ValidatedNumberField field(type);
        field.insert(text);
        return field.text();
    };
    EXPECT_EQ(pasted(NumberFieldType::ZeroCountNumberField, "-4x"), "0");
    EXPECT_EQ(pasted(NumberFieldType::ZeroCountNumberField, "-4"), "-4");
    EXPECT_EQ(pasted(NumberFieldType::PDFScaleNumberField, "%50"), "%50");
    EXPECT_EQ(pasted(NumberFieldType::ScaleComboBox, "%50x"), "50");
    EXPECT_EQ(pasted(NumberFieldType::ShadowXOffsetNumberField, "-9000 px"), "-5000");
    EXPECT_EQ(pasted(NumberFieldType::FileSizeNumberField, "-1e400x"), "0.5");
}

TEST(ValidatedNumberField, CorrectsATextSetByTheProgramWhenEditingEnds)
{
    ValidatedNumberField field(NumberFieldType::RotationAngleNumberField);
    field.setText("-3");
    EXPECT_EQ(field.text(), "-3");
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(field.text(), "0");
}

TEST(ValidatedNumberField, ReadsAPointAsDecimalSeparatorInEveryLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ValidatedNumberField field(NumberFieldType::NumberField);
    QTest::keyClicks(&field, "2.75");
    QLocale::setDefault(saved);
    EXPECT_EQ(field.text(), "2.75");
}

TEST(ValidatedNumberComboBox, TypedTextFollowsTheRulesWithoutCompletionOrNewItems)
{
    ValidatedNumberComboBox combo(NumberFieldType::ScaleComboBox);
    combo.addItems({"100%", "150%", "200%"});
    combo.lineEdit()->clear();
    QTest::keyClicks(combo.lineEdit(), "1");
    EXPECT_EQ(combo.currentText(), "1");
    QTest::keyClicks(combo.lineEdit(), "2000");
    EXPECT_EQ(combo.currentText(), "6400");
    QTest::keyClick(combo.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.numberField()->type(), NumberFieldType::ScaleComboBox);
}

TEST(PageRangeNumberField, KeepsOnlyAPageRangeWhileTyping)
{
    const auto typed = [](const QString& keys) {
        PageRangeNumberField field;
        QTest::keyClicks(&field, keys);
        return field.text();
    };
    EXPECT_EQ(typed("1-3,5"), "1-3,5");
    EXPECT_EQ(typed("1-3,,"), "1-3,");
    EXPECT_EQ(typed("1-3-,"), "1-3-");
    EXPECT_EQ(typed("1-3a"), "1-3");
    EXPECT_EQ(typed("1-3a5"), "1-35");
    EXPECT_EQ(typed(","), "");
    EXPECT_EQ(typed("-"), "");
    EXPECT_EQ(typed(" 2"), "2");
}

TEST(PageRangeNumberField, CutsPastedTextAtTheFirstOtherCharacter)
{
    EXPECT_EQ(PageRangeNumberField::filteredPageRange(",5"), ",5");
    EXPECT_EQ(PageRangeNumberField::filteredPageRange("  7-9 and 12"), "7-9");
    EXPECT_EQ(PageRangeNumberField::filteredPageRange("x1-3"), "");
    EXPECT_EQ(PageRangeNumberField::filteredPageRange(",-"), ",");
}

} // namespace
