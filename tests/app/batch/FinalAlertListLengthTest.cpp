// The final alert's list of files not converted around its length limit of eight names: "… and N
// more" only when names were left out, and N is how many.
#include "app/batch/BatchOutcome.h"
#include "common/LocalizedStrings.h"

#include <gtest/gtest.h>

namespace {

BatchOutcomeTexts failing(int count)
{
    BatchOutcome outcome;
    outcome.converted = 1;
    for (int index = 1; index <= count; ++index)
        outcome.notConverted << QStringLiteral("file%1.chm").arg(index);
    return FinalAlertTexts(outcome);
}

qsizetype namedLines(const QString& message)
{
    return message.count(QStringLiteral("\n• "));
}

} // namespace

TEST(FinalAlertListLength, EightFailuresAreAllNamedWithoutAMoreLine)
{
    const QString message = failing(8).message;
    EXPECT_EQ(namedLines(message), 8);
    EXPECT_TRUE(message.endsWith(QStringLiteral("• file8.chm"))) << message.toStdString();
    EXPECT_FALSE(message.contains(Localized("NotConvertedMore").arg(0)));
}

TEST(FinalAlertListLength, PastEightTheRestIsCounted)
{
    const QString nine = failing(9).message;
    EXPECT_EQ(namedLines(nine), 8);
    EXPECT_TRUE(nine.endsWith(QStringLiteral("\n") + Localized("NotConvertedMore").arg(1))) << nine.toStdString();
    const QString twenty = failing(20).message;
    EXPECT_EQ(namedLines(twenty), 8);
    EXPECT_TRUE(twenty.contains(QStringLiteral("• file8.chm\n")));
    EXPECT_FALSE(twenty.contains(QStringLiteral("file9.chm")));
    EXPECT_TRUE(twenty.endsWith(Localized("NotConvertedMore").arg(12)));
    EXPECT_EQ(namedLines(failing(7).message), 7);
}
