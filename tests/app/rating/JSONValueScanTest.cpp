#include "app/rating/JSONValueScan.h"

#include <gtest/gtest.h>

TEST(JSONValueScan, ReadsStringsAndNumbersBetweenColonAndComma)
{
    const QString json = QStringLiteral(R"({"a":1, "bundleId" : "x.y" , "trackId":42,"z":0})");
    EXPECT_EQ(ScanJSONValueForKey(QStringLiteral("bundleId"), json), QStringLiteral("x.y"));
    EXPECT_EQ(ScanJSONValueForKey(QStringLiteral("trackId"), json), QStringLiteral("42"));
    EXPECT_EQ(ScanJSONValueForKey(QStringLiteral("a"), json), QStringLiteral("1"));
}

TEST(JSONValueScan, KeepsCommasInsideAQuotedValue)
{
    const QString json = QStringLiteral(R"({"text":"a, b, c","next":1})");
    EXPECT_EQ(ScanJSONValueForKey(QStringLiteral("text"), json), QStringLiteral("a, b, c"));
}

TEST(JSONValueScan, DecodesEscapesOnceFromLeftToRight)
{
    const QString json = QStringLiteral(R"({"v":"\u0041\t\b\\n\/\"q","w":0})");
    EXPECT_EQ(ScanJSONValueForKey(QStringLiteral("v"), json), QStringLiteral("A\t\b\\n/\"q"));
}

TEST(JSONValueScan, KeepsAShortOrInvalidUnicodeEscapeAsWritten)
{
    const QString json = QStringLiteral(R"({"v":"\u00G1 \u12","w":0})");
    EXPECT_EQ(ScanJSONValueForKey(QStringLiteral("v"), json), QStringLiteral(R"(\u00G1 \u12)"));
}

TEST(JSONValueScan, AnswersNoneWithoutKeyColonOrFollowingComma)
{
    EXPECT_FALSE(ScanJSONValueForKey(QStringLiteral("missing"), QStringLiteral(R"({"a":1,"b":2})")));
    EXPECT_FALSE(ScanJSONValueForKey(QStringLiteral("last"), QStringLiteral(R"({"a":1,"last":2})")));
    EXPECT_FALSE(ScanJSONValueForKey(QStringLiteral("a"), QStringLiteral(R"({"a")")));
    // The key must stand between quotes.
    EXPECT_FALSE(ScanJSONValueForKey(QStringLiteral("id"), QStringLiteral(R"({"trackId":5,"x":1})")));
}

TEST(JSONValueScan, FirstQuotedOccurrenceWins)
{
    const QString json = QStringLiteral(R"({"inner":{"trackId":7,"a":1},"trackId":42,"z":0})");
    EXPECT_EQ(ScanJSONValueForKey(QStringLiteral("trackId"), json), QStringLiteral("7"));
}

TEST(JSONValueScan, UnclosedQuotedValueStopsAtTheLastComma)
{
    const QString json = QStringLiteral(R"({"v":"open, still, open})");
    EXPECT_EQ(ScanJSONValueForKey(QStringLiteral("v"), json), QStringLiteral("open, still"));
}

TEST(JSONValueScan, ALongQuotedValueFullOfCommasOrQuotesTakesOnePass)
{
    // Each comma used to start the value over: this answer then took hours, not a moment.
    const QString commas = QString(2 << 20, u',');
    const QString json = QStringLiteral(R"({"v":")") + commas + QStringLiteral(R"(","w":0})");
    EXPECT_EQ(ScanJSONValueForKey(QStringLiteral("v"), json), commas);
    const QString quotes = QString(2 << 20, u'"');
    EXPECT_EQ(ScanJSONValueForKey(QStringLiteral("q"), QStringLiteral(R"({"q":)") + quotes + QStringLiteral("x,")),
              QStringLiteral("x"));
}
