#include "common/ByteCountFormat.h"
#include "common/SystemVersion.h"
#include "common/UserDefaults.h"
#include "common/WBQDataHolder.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <sys/utsname.h>

namespace {

TEST(ByteCount, StepsThroughBinaryUnits)
{
    EXPECT_EQ(WBQUtil::FormatByteCount(0), "0 B");
    EXPECT_EQ(WBQUtil::FormatByteCount(1023), "1023 B");
    EXPECT_EQ(WBQUtil::FormatByteCount(1024), "1.0 KB");
    EXPECT_EQ(WBQUtil::FormatByteCount(1536), "1.5 KB");
    EXPECT_EQ(WBQUtil::FormatByteCount(1048576), "1.00 MB");
    EXPECT_EQ(WBQUtil::FormatByteCount(1.5f * 1073741824.0f), "1.500 GB");
    EXPECT_EQ(WBQUtil::FormatByteCount(1099511627776.0f), "1.0000 TB");
    EXPECT_EQ(WBQUtil::FormatByteCount(std::pow(1024.0f, 5.0f)), "1024.0000 TB");
}

TEST(ByteCount, StepsThroughDecimalUnits)
{
    EXPECT_EQ(WBQUtil::FormatByteCountDecimal(999), "999 B");
    EXPECT_EQ(WBQUtil::FormatByteCountDecimal(1000), "1.0 KB");
    EXPECT_EQ(WBQUtil::FormatByteCountDecimal(2500000), "2.50 MB");
    EXPECT_EQ(WBQUtil::FormatByteCountDecimal(3e9), "3.000 GB");
    EXPECT_EQ(WBQUtil::FormatByteCountDecimal(2e15), "2000.0000 TB");
}

TEST(SystemVersion, ReadsTheLeadingNumbersOfAKernelRelease)
{
    const auto read = [](const char* release) {
        const WBQUtil::SystemVersion version = WBQUtil::ParseSystemRelease(release);
        return std::array<qint32, 3> {version.major, version.minor, version.patch};
    };
    EXPECT_EQ(read("6.1.0-18-amd64"), (std::array<qint32, 3> {6, 1, 0}));
    EXPECT_EQ(read("5.15.133.1-microsoft-standard"), (std::array<qint32, 3> {5, 15, 133}));
    EXPECT_EQ(read("6.8-rc1.5"), (std::array<qint32, 3> {6, 8, 0}));
    EXPECT_EQ(read("garbage"), (std::array<qint32, 3> {0, 0, 0}));
    EXPECT_EQ(read("99999999999.1"), (std::array<qint32, 3> {std::numeric_limits<qint32>::max(), 1, 0}));
}

TEST(SystemVersion, ComparesAtTheFirstNumberThatDiffers)
{
    EXPECT_EQ(WBQUtil::CompareVersions({10, 9, 5}, 10, 8, 0), 1);
    EXPECT_EQ(WBQUtil::CompareVersions({10, 8, 0}, 10, 8, 0), 0);
    EXPECT_EQ(WBQUtil::CompareVersions({10, 7, 5}, 10, 8, 0), -1);
    EXPECT_EQ(WBQUtil::CompareVersions({6, 1, 0}, 5, 99, 99), 1);
    EXPECT_EQ(WBQUtil::CompareVersions({6, 1, 7}, 6, 1, 2), 5);
    EXPECT_EQ(WBQUtil::CompareVersions({6, 0, 0}, std::numeric_limits<qint32>::min(), 0, 0),
              std::numeric_limits<qint32>::max());
}

TEST(SystemVersion, OfTheRunningKernelComparesEqualToItself)
{
    struct utsname name {};
    ASSERT_EQ(::uname(&name), 0);
    const WBQUtil::SystemVersion running = WBQUtil::ParseSystemRelease(name.release);
    EXPECT_GT(running.major, 0);
    EXPECT_EQ(WBQUtil::CompareOSVersion(running.major, running.minor, running.patch), 0);
    EXPECT_GT(WBQUtil::CompareOSVersion(running.major - 1, 0, 0), 0);
}

TEST(UserDefaults, AreStoredReadAndRemoved)
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("TomefoldTests");
    QCoreApplication::setApplicationName("common_text_tests");

    EXPECT_FALSE(WBQUtil::GetUserDefault("zoom factor").isValid());
    WBQUtil::SetUserDefault(1.25, "zoom factor");
    EXPECT_EQ(WBQUtil::GetUserDefault("zoom factor").toDouble(), 1.25);
    EXPECT_EQ(QSettings().value("zoom factor").toDouble(), 1.25); // written where the store lives
    WBQUtil::RemoveUserDefault("zoom factor");
    EXPECT_FALSE(WBQUtil::GetUserDefault("zoom factor").isValid());
}

TEST(WBQDataHolder, ForgetsAnObjectThatIsDestroyed)
{
    auto object = std::make_unique<QObject>();
    const std::unique_ptr<WBQDataHolder> holder = WBQDataHolder::dataHolderWithData(object.get());
    EXPECT_EQ(holder->data(), object.get());
    object.reset();
    EXPECT_EQ(holder->data(), nullptr);
}

} // namespace
