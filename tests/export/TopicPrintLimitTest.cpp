// How long a topic's print may take before it is given up.

#include "export/CHMExporter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace std::chrono_literals;

// A page of one sheet or less, or one whose height is not known, keeps the base limit.
TEST(TopicPrintLimit, AShortOrUnmeasuredTopicKeepsTheBaseLimit)
{
    for (const double sheets : {0.0, 0.4, 1.0, -3.0, std::nan("")})
        EXPECT_EQ(CHMExporter::topicPrintTimeout(sheets), CHMExporter::kTopicPrintTimeout) << sheets;
}

// A generated reference page of 591 sheets printed here in 30 s with nothing else at work, and
// gave up at the base limit beside other topics on a busy machine; its limit leaves it ten times
// what it took alone, and grows with every sheet.
TEST(TopicPrintLimit, ALongTopicGetsALimitWellAboveItsPrintTime)
{
    EXPECT_GE(CHMExporter::topicPrintTimeout(591.0), 10 * 30s);
    EXPECT_GT(CHMExporter::topicPrintTimeout(2.0), CHMExporter::kTopicPrintTimeout);
    EXPECT_GT(CHMExporter::topicPrintTimeout(101.0), CHMExporter::topicPrintTimeout(100.0));
}

// However tall a page claims to be, a print that never ends is still given up.
TEST(TopicPrintLimit, APrintThatNeverEndsIsStillGivenUp)
{
    const std::chrono::milliseconds most = CHMExporter::topicPrintTimeout(std::numeric_limits<double>::infinity());
    EXPECT_EQ(CHMExporter::topicPrintTimeout(1.0e9), most);
    EXPECT_LE(most, 1h);
}
