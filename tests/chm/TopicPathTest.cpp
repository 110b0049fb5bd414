#include "chm/TopicPath.h"

#include <QList>

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(TopicPath, SamePageIgnoresSpellingButNotTheName)
{
    const QList<std::pair<const char*, const char*>> same{
        {"a.htm", "A.HTM"},       {"a.htm", "/a.htm"},       {"a.htm", "///a.htm"},    {"a.htm", "a.htm#x"},
        {"a.htm", "a.htm?q"},     {"a b.htm", "a%20b.htm"},  {"d/../a.htm", "a.htm"},  {"./a.htm", "a.htm"},
        {"ä.htm", "%C3%A4.htm"},  {"Ä.htm", "ä.htm"},
    };
    for (const auto& [a, b] : same)
        EXPECT_TRUE(TopicPath::isSamePage(QString::fromUtf8(a), QString::fromUtf8(b))) << a << " / " << b;
    const QList<std::pair<const char*, const char*>> different{
        {"a.htm", "a.html"}, {"a.htm", "b/a.htm"}, {"a%2520.htm", "a%20.htm"}, {"", ""}, {"#x", "#x"},
        {"%FF.htm", "%FE.htm"},
    };
    for (const auto& [a, b] : different)
        EXPECT_FALSE(TopicPath::isSamePage(QString::fromUtf8(a), QString::fromUtf8(b))) << a << " / " << b;
}

TEST(TopicPath, LookupFindsThePageWithAnyFragmentButNoLongerName)
{
    EXPECT_TRUE(TopicPath::matchesLookup(QStringLiteral("a.htm"), QStringLiteral("a.htm")));
    EXPECT_TRUE(TopicPath::matchesLookup(QStringLiteral("a.htm#part2"), QStringLiteral("a.htm")));
    EXPECT_TRUE(TopicPath::matchesLookup(QStringLiteral("/A.HTM?x"), QStringLiteral("a.htm")));
    EXPECT_TRUE(TopicPath::matchesLookup(QStringLiteral("a.htm"), QStringLiteral("//a.htm")));
    EXPECT_FALSE(TopicPath::matchesLookup(QStringLiteral("a.html"), QStringLiteral("a.htm")));
    EXPECT_FALSE(TopicPath::matchesLookup(QStringLiteral("a.htm#xy"), QStringLiteral("a.htm#x")));
    EXPECT_TRUE(TopicPath::matchesLookup(QStringLiteral("a.htm#x"), QStringLiteral("a.htm#x")));
    EXPECT_FALSE(TopicPath::matchesLookup(QString(), QStringLiteral("a.htm")));
    EXPECT_FALSE(TopicPath::matchesLookup(QStringLiteral("/"), QStringLiteral("/")));
    EXPECT_FALSE(TopicPath::matchesLookup(QStringLiteral("a.htm"), QString()));
}

TEST(TopicPath, TheLoadableFormDropsEveryLeadingSlashAndNothingElse)
{
    EXPECT_EQ(TopicPath::loadablePath(QStringLiteral("///dir/a.htm#x")), QStringLiteral("dir/a.htm#x"));
    EXPECT_EQ(TopicPath::loadablePath(QStringLiteral("/a.htm")), QStringLiteral("a.htm"));
    EXPECT_EQ(TopicPath::loadablePath(QStringLiteral("dir//a.htm")), QStringLiteral("dir//a.htm"));
    EXPECT_EQ(TopicPath::loadablePath(QStringLiteral("//")), QString());
}

TEST(TopicPath, EscapesWhatAUrlCannotHoldAndKeepsItsStructure)
{
    EXPECT_EQ(TopicPath::percentEscaped(QStringLiteral("dir/a b.htm#x?y=1")), QStringLiteral("dir/a%20b.htm#x?y=1"));
    EXPECT_EQ(TopicPath::percentEscaped(QStringLiteral("ä%.htm")), QStringLiteral("%C3%A4%25.htm"));
}

} // namespace
