#include "export/TopicPrintQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TopicPrintout printoutNamed(const char* name)
{
    TopicPrintout printout;
    printout.printed = QByteArray(name);
    return printout;
}

// Takes every printout whose turn has come, by the names they were put with.
std::vector<QByteArray> takeAllInTurn(TopicPrintQueue& queue)
{
    std::vector<QByteArray> taken;
    while (std::optional<TopicPrintout> printout = queue.takeTurn())
        taken.push_back(printout->printed);
    return taken;
}

} // namespace

TEST(TopicPrintQueue, HandsPrintoutsBackInPageListOrderWhateverOrderTheyFinishIn)
{
    TopicPrintQueue queue(5, 3);
    EXPECT_EQ(queue.startNext(), 0u);
    EXPECT_EQ(queue.startNext(), 1u);
    EXPECT_EQ(queue.startNext(), 2u);
    // Three jobs: the fourth topic waits until the first has been taken.
    EXPECT_EQ(queue.startNext(), std::nullopt);

    queue.put(2, printoutNamed("c"));
    queue.put(1, printoutNamed("b"));
    EXPECT_TRUE(takeAllInTurn(queue).empty());
    EXPECT_EQ(queue.waiting(), 2u);
    EXPECT_EQ(queue.startNext(), std::nullopt);

    queue.put(0, printoutNamed("a"));
    EXPECT_EQ(takeAllInTurn(queue), (std::vector<QByteArray>{"a", "b", "c"}));
    EXPECT_EQ(queue.turn(), 3u);
    EXPECT_EQ(queue.startNext(), 3u);
    EXPECT_EQ(queue.startNext(), 4u);
    EXPECT_EQ(queue.startNext(), std::nullopt); // every topic has started

    queue.put(4, printoutNamed("e"));
    queue.put(3, printoutNamed("d"));
    EXPECT_EQ(takeAllInTurn(queue), (std::vector<QByteArray>{"d", "e"}));
    EXPECT_EQ(queue.waiting(), 0u);
    EXPECT_EQ(queue.peakWaiting(), 2u);
}

TEST(TopicPrintQueue, HoldsFewerPrintoutsThanJobsWhileTheFirstTopicHangs)
{
    constexpr int kJobs = 4;
    TopicPrintQueue queue(100, kJobs);
    // Topic 0 never ends; every other topic ends as soon as it starts.
    ASSERT_EQ(queue.startNext(), 0u);
    int started = 1;
    while (const std::optional<std::size_t> topic = queue.startNext()) {
        queue.put(*topic, printoutNamed("done"));
        ++started;
        EXPECT_EQ(queue.takeTurn(), std::nullopt);
    }
    EXPECT_EQ(started, kJobs);
    EXPECT_EQ(queue.waiting(), static_cast<std::size_t>(kJobs - 1));
    EXPECT_EQ(queue.peakWaiting(), static_cast<std::size_t>(kJobs - 1));

    // Once the hanging topic gives up, its empty printout lets the others through.
    queue.put(0, {});
    EXPECT_EQ(takeAllInTurn(queue).size(), static_cast<std::size_t>(kJobs));
    EXPECT_EQ(queue.startNext(), static_cast<std::size_t>(kJobs));
}

TEST(TopicPrintQueue, OneJobIsOneTopicAtATime)
{
    TopicPrintQueue queue(3, 0); // fewer than one job counts as one
    EXPECT_EQ(queue.startNext(), 0u);
    EXPECT_EQ(queue.startNext(), std::nullopt);
    queue.put(0, printoutNamed("a"));
    EXPECT_EQ(queue.peakWaiting(), 0u); // the topic whose turn it is never waits
    EXPECT_EQ(takeAllInTurn(queue), (std::vector<QByteArray>{"a"}));
    EXPECT_EQ(queue.startNext(), 1u);
}

TEST(TopicPrintQueue, IgnoresPrintoutsOfTopicsNotInFlight)
{
    TopicPrintQueue queue(4, 2);
    ASSERT_EQ(queue.startNext(), 0u);
    queue.put(1, printoutNamed("not started"));
    queue.put(7, printoutNamed("not listed"));
    EXPECT_EQ(queue.waiting(), 0u);
    queue.put(0, printoutNamed("a"));
    ASSERT_TRUE(queue.takeTurn());
    queue.put(0, printoutNamed("late"));
    EXPECT_EQ(queue.waiting(), 0u);
    EXPECT_EQ(queue.takeTurn(), std::nullopt);
}

TEST(TopicPrintQueue, ClosedStartsAndHandsBackNothing)
{
    TopicPrintQueue queue(4, 3);
    ASSERT_EQ(queue.startNext(), 0u);
    ASSERT_EQ(queue.startNext(), 1u);
    queue.put(1, printoutNamed("b"));
    queue.close();
    EXPECT_TRUE(queue.isClosed());
    EXPECT_EQ(queue.waiting(), 0u);
    EXPECT_EQ(queue.startNext(), std::nullopt);
    queue.put(0, printoutNamed("a"));
    EXPECT_EQ(queue.takeTurn(), std::nullopt);
}

TEST(TopicPrintQueue, AnEmptyPageListStartsNothing)
{
    TopicPrintQueue queue(0, 4);
    EXPECT_EQ(queue.startNext(), std::nullopt);
    EXPECT_EQ(queue.takeTurn(), std::nullopt);
}

TEST(TopicPrintQueue, ATopicStartsBesideOthersOnlyWhileNoRendererIsLongAndTheSumIsWithinBudget)
{
    constexpr qint64 kRetire = 100;
    constexpr qint64 kBudget = 300;
    // Nothing at work: a topic starts whatever the renderers hold, or the export would stop.
    EXPECT_TRUE(MayStartTopic({.totalBytes = 5000, .largestAtWorkBytes = 0, .topicAtWork = false}, kRetire, kBudget));
    // At the limits themselves a topic still starts.
    EXPECT_TRUE(MayStartTopic({.totalBytes = kBudget, .largestAtWorkBytes = kRetire, .topicAtWork = true}, kRetire, kBudget));
    // One byte over the budget together, or one renderer at work over its own limit, holds it.
    EXPECT_FALSE(MayStartTopic({.totalBytes = kBudget + 1, .largestAtWorkBytes = 10, .topicAtWork = true}, kRetire, kBudget));
    EXPECT_FALSE(MayStartTopic({.totalBytes = 200, .largestAtWorkBytes = kRetire + 1, .topicAtWork = true}, kRetire, kBudget));
}

TEST(TopicPrintQueue, ARendererIsReplacedAtItsShareOfTheBudgetAndNeverPastItsOwnLimit)
{
    constexpr qint64 kRetire = 384;
    constexpr qint64 kBudget = 1024;
    // Six renderers each just under their share stay within the budget together.
    const qint64 share = RendererShareBytes(kRetire, kBudget, 6);
    EXPECT_EQ(share, 170);
    EXPECT_LE(6 * share, kBudget);
    // With few jobs the share would be larger than one renderer may grow.
    EXPECT_EQ(RendererShareBytes(kRetire, kBudget, 2), kRetire);
    EXPECT_EQ(RendererShareBytes(kRetire, kBudget, 1), kRetire);
    // No job count divides by zero or turns the share negative.
    EXPECT_EQ(RendererShareBytes(kRetire, kBudget, 0), kRetire);
    EXPECT_EQ(RendererShareBytes(kRetire, kBudget, -3), kRetire);
}
