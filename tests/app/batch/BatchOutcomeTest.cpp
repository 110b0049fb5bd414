// The final alert's texts: all, some or none converted, in the singular for a batch of one file,
// and a bounded list of the files that gave no PDF.
#include "app/batch/BatchOutcome.h"
#include "common/LocalizedStrings.h"

#include <gtest/gtest.h>

namespace {

QStringList Names(int count)
{
    QStringList names;
    for (int index = 1; index <= count; ++index)
        names << QStringLiteral("file%1.chm").arg(index);
    return names;
}

} // namespace

TEST(BatchOutcomeTexts, AllConvertedSpeaksOfOneFileOrOfFiles)
{
    EXPECT_EQ(FinalAlertTexts({1, {}, {}, {}}).title, Localized("SuccessfullConvertOneMsg"));
    EXPECT_EQ(FinalAlertTexts({1, {}, {}, {}}).message, QString(""));
    EXPECT_EQ(FinalAlertTexts({3, {}, {}, {}}).title, Localized("SuccessfullConvertMsg"));
    EXPECT_FALSE(Localized("SuccessfullConvertOneMsg").contains(QStringLiteral("files")));
}

TEST(BatchOutcomeTexts, APartialBatchCountsAndNamesTheFilesNotConverted)
{
    const BatchOutcomeTexts texts = FinalAlertTexts({2, {QStringLiteral("Docs/broken.chm")}, {}, {}});
    EXPECT_EQ(texts.title, Localized("PartlyConvertedMsg").arg(2).arg(3));
    EXPECT_EQ(texts.message, Localized("NotConvertedOneIntro") + QStringLiteral("\n• Docs/broken.chm"));
}

TEST(BatchOutcomeTexts, NothingConvertedSaysSoForOneFileManyOrNone)
{
    EXPECT_EQ(FinalAlertTexts({0, {QStringLiteral("a.chm")}, {}, {}}).title, Localized("NothingConvertedOneMsg"));
    const BatchOutcomeTexts many = FinalAlertTexts({0, Names(2), {}, {}});
    EXPECT_EQ(many.title, Localized("NothingConvertedMsg"));
    EXPECT_EQ(many.message, Localized("NotConvertedIntro") + QStringLiteral("\n• file1.chm\n• file2.chm"));
    const BatchOutcomeTexts none = FinalAlertTexts({0, {}, {}, {}});
    EXPECT_EQ(none.title, Localized("NothingConvertedMsg"));
    EXPECT_EQ(none.message, Localized("NoCHMFileFound"));
}

TEST(BatchOutcomeTexts, ALongListNamesAHandfulAndCountsTheRest)
{
    const QStringList lines = FinalAlertTexts({0, Names(20), {}, {}}).message.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 1 + 8 + 1);
    EXPECT_EQ(lines.at(8), QStringLiteral("• file8.chm"));
    EXPECT_EQ(lines.last(), Localized("NotConvertedMore").arg(12));
}

TEST(BatchOutcomeTexts, APDFThatLacksTopicsIsNamedWithTheTopicsItLost)
{
    // One file: the title itself tells, and the message names the file.
    const BatchOutcomeTexts one = FinalAlertTexts({1, {}, {{QStringLiteral("python.chm"), 2}}, {}});
    EXPECT_EQ(one.title, QStringLiteral("The CHM file was converted to PDF, but 2 topics could not be printed."));
    EXPECT_EQ(one.message, QStringLiteral("• python.chm was converted, but 2 topics could not be printed"));
    EXPECT_EQ(FinalAlertTexts({1, {}, {{QStringLiteral("a.chm"), 1}}, {}}).title,
              QStringLiteral("The CHM file was converted to PDF, but 1 topic could not be printed."));
    // Several files: each one that lost topics is named after those that gave no PDF at all.
    const BatchOutcomeTexts many =
        FinalAlertTexts({2, {QStringLiteral("Docs/broken.chm")}, {{QStringLiteral("Docs/long.chm"), 1}}, {}});
    EXPECT_EQ(many.title, Localized("PartlyConvertedMsg").arg(2).arg(3));
    EXPECT_EQ(many.message, Localized("NotConvertedOneIntro")
                                + QStringLiteral("\n• Docs/broken.chm\n\n• Docs/long.chm was converted, but 1 topic could "
                                                 "not be printed"));
    // Several files all converted: the title speaks of the files, the message of the one that lost topics.
    const BatchOutcomeTexts all = FinalAlertTexts({3, {}, {{QStringLiteral("b.chm"), 4}}, {}});
    EXPECT_EQ(all.title, Localized("SuccessfullConvertMsg"));
    EXPECT_EQ(all.message, QStringLiteral("• b.chm was converted, but 4 topics could not be printed"));
}

TEST(BatchOutcomeTexts, ADamagedFileIsNamedWithWhatCouldNotBeReadBeforeTopicsNotPrinted)
{
    const BatchOutcomeTexts one = FinalAlertTexts({1, {}, {{QStringLiteral("half.chm"), 1}}, {{QStringLiteral("half.chm"), 50, 93, false}}});
    EXPECT_EQ(one.title, Localized("ConvertedButDamagedMsg"));
    EXPECT_EQ(one.message, QStringLiteral("• half.chm is damaged: 50 of 93 topics could not be read\n"
                                          "• half.chm was converted, but 1 topic could not be printed"));
    EXPECT_EQ(FinalAlertTexts({2, {}, {}, {{QStringLiteral("toc.chm"), 0, 9, true}}}).message,
              QStringLiteral("• toc.chm is damaged: its table of contents could not be read"));
}
