#include "common/FinderCompare.h"

#include <QLocale>
#include <QStringList>
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>

namespace {

QStringList Sorted(QStringList names, const std::optional<QLocale>& locale = std::nullopt)
{
    std::sort(names.begin(), names.end(),
              [&locale](const QString& a, const QString& b) { return WBQUtil::FinderCompare(a, b, locale) < 0; });
    return names;
}

// Restores the process's default locale when a test has changed it.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(m_saved); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

private:
    QLocale m_saved = QLocale();
};

const QStringList kMixedNames {
    QStringLiteral("chapter 10.chm"), QStringLiteral("Chapter 2.chm"), QStringLiteral("chapter 1.chm"),
    QStringLiteral("Ｃｈａｐｔｅｒ ３.chm"), QStringLiteral("appendix.chm"), QStringLiteral("Zebra.chm"),
    QStringLiteral("2 intro.chm"), QStringLiteral("10 outro.chm"), QStringLiteral("Appendix.chm"),
};

const QStringList kExpectedOrder {
    QStringLiteral("2 intro.chm"), QStringLiteral("10 outro.chm"), QStringLiteral("appendix.chm"),
    QStringLiteral("Appendix.chm"), QStringLiteral("chapter 1.chm"), QStringLiteral("Chapter 2.chm"),
    QStringLiteral("Ｃｈａｐｔｅｒ ３.chm"), QStringLiteral("chapter 10.chm"), QStringLiteral("Zebra.chm"),
};

TEST(FinderCompare, ComparesNumbersByValueAndIgnoresCase)
{
    EXPECT_EQ(WBQUtil::FinderCompare("Chapter 2", "chapter 10"), -1);
    EXPECT_EQ(WBQUtil::FinderCompare("chapter 10", "Chapter 2"), 1);
    EXPECT_EQ(WBQUtil::FinderCompare("file 9", "file 10"), -1);
    EXPECT_EQ(WBQUtil::FinderCompare("beta", "ALPHA"), 1);
}

TEST(FinderCompare, IgnoresCharacterWidth)
{
    EXPECT_EQ(WBQUtil::FinderCompare(QStringLiteral("Ｇｕｉｄｅ ９"), "guide 10"), -1);
    EXPECT_EQ(WBQUtil::FinderCompare(QStringLiteral("ｇｕｉｄｅ ２"), "Guide 3"), -1);
}

TEST(FinderCompare, IsZeroOnlyForIdenticalStrings)
{
    EXPECT_EQ(WBQUtil::FinderCompare("abc", "abc"), 0);
    const int order = WBQUtil::FinderCompare("abc", "ABC");
    EXPECT_NE(order, 0);
    EXPECT_EQ(WBQUtil::FinderCompare("ABC", "abc"), -order);
    EXPECT_NE(WBQUtil::FinderCompare(QStringLiteral("ａｂｃ"), "abc"), 0);
    EXPECT_NE(WBQUtil::FinderCompare("file 007", "file 7"), 0);
}

TEST(FinderCompare, KeepsNamesThatDifferOnlyInCaseNextToEachOther)
{
    const QStringList sorted = Sorted({"abd", "ABC", "abb", "abc"});
    EXPECT_EQ(sorted.first(), "abb");
    EXPECT_EQ(sorted.last(), "abd");
}

TEST(FinderCompare, SortsMixedNamesAlike)
{
    EXPECT_EQ(Sorted(kMixedNames), kExpectedOrder);
    EXPECT_EQ(Sorted(kMixedNames, QLocale(QLocale::English, QLocale::UnitedKingdom)), kExpectedOrder);
}

TEST(FinderCompare, SortsTheSameUnderTheCLocale)
{
    const char* savedCollation = std::setlocale(LC_ALL, nullptr);
    const std::string saved = savedCollation ? savedCollation : "C";
    std::setlocale(LC_ALL, "C");
    {
        const DefaultLocale cLocale(QLocale::c());
        EXPECT_EQ(Sorted(kMixedNames), kExpectedOrder);
        EXPECT_EQ(Sorted(kMixedNames, QLocale::c()), kExpectedOrder);
    }
    std::setlocale(LC_ALL, saved.c_str());
}

} // namespace
