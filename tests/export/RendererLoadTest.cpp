#include "export/TopicPrintQueue.h"

#include <gtest/gtest.h>

#include <vector>

TEST(RendererLoad, ARendererSharedByViewsCountsOnceAgainstTheBudget)
{
    constexpr qint64 kRetire = 300;
    constexpr qint64 kBudget = 1000;
    // Three views in one renderer of 400 bytes and one in its own of 100: 500 in all, within the
    // budget; counted once a view, the shared one would fill it three times over.
    const std::vector<ViewRenderer> views = {
        {.pid = 7, .residentBytes = 400, .busy = true},
        {.pid = 7, .residentBytes = 400, .busy = false},
        {.pid = 9, .residentBytes = 100, .busy = false},
        {.pid = 7, .residentBytes = 400, .busy = false},
    };
    const RendererLoad load = SumRendererLoad(views);
    EXPECT_EQ(load.totalBytes, 500);
    EXPECT_EQ(load.largestAtWorkBytes, 400);
    EXPECT_TRUE(load.topicAtWork);
    EXPECT_TRUE(MayStartTopic(load, kRetire * 2, kBudget));
}

TEST(RendererLoad, AViewWithoutItsRendererYetIsAtWorkButHoldsNothing)
{
    const RendererLoad load = SumRendererLoad(std::vector<ViewRenderer>{{.pid = 0, .residentBytes = 0, .busy = true},
                                                                        {.pid = 5, .residentBytes = 50, .busy = false}});
    EXPECT_TRUE(load.topicAtWork);
    EXPECT_EQ(load.totalBytes, 50);
    EXPECT_EQ(load.largestAtWorkBytes, 0);
    EXPECT_FALSE(SumRendererLoad(std::vector<ViewRenderer>{{.pid = 5, .residentBytes = 50, .busy = false}}).topicAtWork);
}
