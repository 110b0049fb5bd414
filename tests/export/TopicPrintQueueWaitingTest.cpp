#include "export/TopicPrintQueue.h"

#include <gtest/gtest.h>

TEST(TopicPrintQueueWaiting, CountsThePrintedBytesOfThePrintoutsWaiting)
{
    TopicPrintQueue queue(4, 4);
    for (int topic = 0; topic < 4; ++topic)
        queue.startNext();
    const auto printout = [](qsizetype bytes) {
        TopicPrintout made;
        made.printed = QByteArray(bytes, 'x');
        return made;
    };
    queue.put(2, printout(300));
    queue.put(1, printout(20));
    queue.put(2, printout(100)); // given again: counted once, at its last size
    EXPECT_EQ(queue.waitingBytes(), 120);
    queue.put(0, printout(5));
    ASSERT_TRUE(queue.takeTurn());
    ASSERT_TRUE(queue.takeTurn());
    EXPECT_EQ(queue.waitingBytes(), 100);
    queue.close();
    EXPECT_EQ(queue.waitingBytes(), 0);
}
