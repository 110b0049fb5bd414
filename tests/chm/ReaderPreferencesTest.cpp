#include "chm/reader/FilesInfoPreferences.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

class ReaderPreferencesTest : public testing::Test {
protected:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("org.tomefold.ReaderPreferencesTest"));
        QSettings().remove(FilesInfoPreferences::kFilesInfoKey);
    }
    void TearDown() override { QSettings().remove(FilesInfoPreferences::kFilesInfoKey); }

    static QDateTime day(int n) { return QDateTime(QDate(2026, 1, 1).addDays(n), QTime(12, 0)); }
    static QString file(int n) { return QStringLiteral("/books/file%1.chm").arg(n, 2, 10, QLatin1Char('0')); }
    static int rememberedFiles() { return QSettings().value(FilesInfoPreferences::kFilesInfoKey).toMap().size(); }
};

TEST_F(ReaderPreferencesTest, KeysOfAFileAreKeptTogetherAndUnknownOnesAreInvalid)
{
    using namespace FilesInfoPreferences;
    EXPECT_FALSE(getPreferenceforFile(file(1), QStringLiteral("last path")).isValid());
    setPreference(QStringLiteral("a.htm"), file(1), QStringLiteral("last path"), day(1));
    setPreference(QStringLiteral("index"), file(1), QStringLiteral("search type"), day(2));
    EXPECT_EQ(getPreferenceforFile(file(1), QStringLiteral("last path")).toString(), QStringLiteral("a.htm"));
    EXPECT_EQ(getPreferenceforFile(file(1), QStringLiteral("search type")).toString(), QStringLiteral("index"));
    EXPECT_EQ(getPreferenceforFile(file(1), kUpdatedAtKey).toDateTime(), day(2));
    EXPECT_FALSE(getPreferenceforFile(file(2), QStringLiteral("last path")).isValid());
    EXPECT_FALSE(getPreferenceforFile(file(1), QStringLiteral("encoding index")).isValid());
}

TEST_F(ReaderPreferencesTest, TheTwentyFirstFileForgetsTheOneWrittenLongestAgo)
{
    using namespace FilesInfoPreferences;
    // File 5 was written first; file 0 is rewritten last so that insertion order is not age order.
    for (int n = 0; n < 20; ++n)
        setPreference(n, file(n), QStringLiteral("encoding index"), day(n == 5 ? 0 : n + 10));
    setPreference(99, file(0), QStringLiteral("encoding index"), day(40));
    EXPECT_EQ(rememberedFiles(), 20);

    setPreference(20, file(20), QStringLiteral("encoding index"), day(41));
    EXPECT_EQ(rememberedFiles(), 20);
    EXPECT_FALSE(getPreferenceforFile(file(5), QStringLiteral("encoding index")).isValid());
    EXPECT_EQ(getPreferenceforFile(file(20), QStringLiteral("encoding index")).toInt(), 20);
    EXPECT_EQ(getPreferenceforFile(file(0), QStringLiteral("encoding index")).toInt(), 99);
}

TEST_F(ReaderPreferencesTest, FileJustWrittenStaysEvenWhenTheClockWentBack)
{
    using namespace FilesInfoPreferences;
    for (int n = 0; n < 20; ++n)
        setPreference(n, file(n), QStringLiteral("encoding index"), day(n + 10));
    setPreference(20, file(20), QStringLiteral("encoding index"), day(0));
    EXPECT_EQ(rememberedFiles(), 20);
    EXPECT_EQ(getPreferenceforFile(file(20), QStringLiteral("encoding index")).toInt(), 20);
    EXPECT_FALSE(getPreferenceforFile(file(0), QStringLiteral("encoding index")).isValid());
}

} // namespace
