#include "platform/ProcessMemory.h"

#include <QCoreApplication>
#include <QProcess>
#include <gtest/gtest.h>

TEST(ProcessMemory, ARunningProcessHoldsMemoryAndAnEndedOneTellsNothing)
{
    const std::optional<qint64> own = ResidentBytesOfProcess(QCoreApplication::applicationPid());
    ASSERT_TRUE(own.has_value());
    EXPECT_GT(*own, 1 << 20);

    // A view whose renderer has ended, or has none yet, must not count as holding anything.
    QProcess ended;
    ended.start(QStringLiteral("true"), {});
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 pid = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    EXPECT_FALSE(ResidentBytesOfProcess(pid).has_value());
    EXPECT_FALSE(ResidentBytesOfProcess(0).has_value());
    EXPECT_FALSE(ResidentBytesOfProcess(-1).has_value());

    // Giving freed memory back leaves the process working.
    ReleaseFreedMemory();
    EXPECT_TRUE(ResidentBytesOfProcess(QCoreApplication::applicationPid()).has_value());
}
