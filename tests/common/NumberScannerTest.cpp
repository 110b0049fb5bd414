#include "common/FieldNumber.h"
#include "common/NumberScanner.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <limits>

namespace {

using Skip = NumberScanner::Skipping;

std::optional<qint64> Integer(const QString& text, Skip skip = Skip::WhiteSpace)
{
    NumberScanner scanner(text, skip);
    return scanner.scanInteger(std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
}

std::optional<double> Double(const QString& text)
{
    NumberScanner scanner(text, Skip::WhiteSpace);
    return scanner.scanDouble();
}

bool IsCompleteDouble(const QString& text, Skip skip = Skip::WhiteSpace)
{
    NumberScanner scanner(text, skip);
    return scanner.scanDouble() && scanner.isAtEnd();
}

bool IsCompleteInteger(const QString& text, Skip skip)
{
    NumberScanner scanner(text, skip);
    return scanner.scanInteger(0, 100000) && scanner.isAtEnd();
}

TEST(NumberScanner, ReadsSignedDecimalIntegers)
{
    EXPECT_EQ(Integer("  42abc"), 42);
    EXPECT_EQ(Integer("-7"), -7);
    EXPECT_EQ(Integer("+7"), 7);
    EXPECT_EQ(Integer("-"), std::nullopt);
    EXPECT_EQ(Integer("x1"), std::nullopt);
    EXPECT_EQ(Integer(QStringLiteral("４２")), std::nullopt); // only ASCII digits
}

TEST(NumberScanner, CapsIntegersInsteadOfOverflowing)
{
    EXPECT_EQ(Integer("99999999999999999999999"), std::numeric_limits<qint64>::max());
    EXPECT_EQ(Integer("-99999999999999999999999"), std::numeric_limits<qint64>::min());
    EXPECT_EQ(Integer("-9223372036854775808"), std::numeric_limits<qint64>::min());
    const QString beyondInt = QStringLiteral("3000000000");
    NumberScanner scanner(beyondInt, Skip::WhiteSpace);
    EXPECT_EQ(scanner.scanInteger(std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()),
              std::numeric_limits<qint32>::max());
}

TEST(NumberScanner, RefusesNamedAndHexadecimalNumbers)
{
    EXPECT_EQ(Double("nan"), std::nullopt);
    EXPECT_EQ(Double("inf"), std::nullopt);
    EXPECT_EQ(Double("-infinity"), std::nullopt);
    EXPECT_EQ(Double("0x1p3"), 0.0); // the 0, then other text
    EXPECT_FALSE(IsCompleteDouble("0x10"));
}

TEST(NumberScanner, ReadsDecimalNotationWithAPointInEveryLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(Double("2.5"), 2.5);
    EXPECT_EQ(Double("-.5"), -0.5);
    EXPECT_EQ(Double("5."), 5.0);
    EXPECT_EQ(Double("1.5e3"), 1500.0);
    EXPECT_EQ(Double("1E-2"), 0.01);
    EXPECT_FALSE(IsCompleteDouble("2,5"));
    QLocale::setDefault(saved);
}

TEST(NumberScanner, LeavesAnIncompleteExponentAsText)
{
    EXPECT_EQ(Double("1e"), 1.0);
    EXPECT_FALSE(IsCompleteDouble("1e"));
    EXPECT_FALSE(IsCompleteDouble("1e+"));
    EXPECT_EQ(Double("."), std::nullopt);
    EXPECT_EQ(Double("-."), std::nullopt);
}

TEST(NumberScanner, CapsHugeRealsAndFlushesTinyOnes)
{
    EXPECT_EQ(Double("1e999"), std::numeric_limits<double>::max());
    EXPECT_EQ(Double("-0.5e400"), -std::numeric_limits<double>::max());
    EXPECT_EQ(Double("1" + QString(400, '0')), std::numeric_limits<double>::max());
    EXPECT_EQ(Double("1e-999"), 0.0);
    EXPECT_EQ(Double("0.0000001e-400"), 0.0);
}

TEST(NumberScanner, SkipsOnlyItsOwnCharacters)
{
    EXPECT_TRUE(IsCompleteInteger(" 12 \n", Skip::WhiteSpace));
    EXPECT_TRUE(IsCompleteInteger("50%", Skip::PercentSigns));
    EXPECT_TRUE(IsCompleteInteger("%50", Skip::PercentSigns));
    EXPECT_FALSE(IsCompleteInteger("50 %", Skip::PercentSigns));
    EXPECT_FALSE(IsCompleteInteger(" 50", Skip::PercentSigns));
    EXPECT_FALSE(IsCompleteInteger("50%", Skip::WhiteSpace));
}

TEST(FieldNumber, WritesTheShortestTextThatReadsBack)
{
    EXPECT_EQ(FieldNumber(NumberKind::Float, 0.2).text(), "0.2");
    EXPECT_EQ(FieldNumber(NumberKind::Double, 0.1).text(), "0.1");
    EXPECT_EQ(FieldNumber(NumberKind::Integer, -5000).text(), "-5000");
    EXPECT_EQ(FieldNumber(NumberKind::Float, 1e300).text(), "3.4028235e+38");
    const QString huge = FieldNumber(NumberKind::Double, 1e300).text();
    NumberScanner scanner(huge, Skip::WhiteSpace);
    EXPECT_EQ(scanner.scanDouble(), 1e300);
}

} // namespace
