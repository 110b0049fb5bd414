#include "chm/CHMMetadataReader.h"

#include "MetadataBlobs.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

using namespace MetadataBlobs;

const CHMMetadataReader::ObjectExists kNothingExists = [](const QString&) { return false; };

CHMMetadata readSystemOnly(const QList<QByteArray>& records,
                           const CHMMetadataReader::ObjectExists& exists = kNothingExists)
{
    return CHMMetadataReader::read(QByteArray(), QByteArray(), system(records), exists);
}

TEST(CHMMetadataReader, TakesEachFieldFromTheFirstWindowThatGivesIt)
{
    Strings strings;
    const WindowEntry first{0, strings.add("first.hhc"), 0, 0};
    const WindowEntry second{strings.add("  Second title \r\n"), strings.add("second.hhc"), strings.add("second.hhk"),
                             strings.add("second.htm")};
    const CHMMetadata metadata = CHMMetadataReader::read(windows({first, second}), strings.bytes(),
                                                         system({stringRecord(3, "System title"),
                                                                 stringRecord(2, "system.htm")}),
                                                         kNothingExists);
    EXPECT_EQ(metadata.docTitle, QStringLiteral("Second title"));
    EXPECT_EQ(metadata.tocPath, QStringLiteral("first.hhc"));
    EXPECT_EQ(metadata.indexPath, QStringLiteral("second.hhk"));
    EXPECT_EQ(metadata.homePath, QStringLiteral("second.htm"));
    EXPECT_TRUE(metadata.hasSystem);
}

TEST(CHMMetadataReader, FillsWhatTheWindowsLeaveEmptyFromTheFirstSystemRecordOfEachCode)
{
    const CHMMetadata metadata =
        readSystemOnly({stringRecord(0, ""), stringRecord(0, "toc.hhc"), stringRecord(0, "later.hhc"),
                        stringRecord(1, "index.hhk"), stringRecord(2, "home.htm"), stringRecord(3, "Title")});
    EXPECT_EQ(metadata.tocPath, QStringLiteral("toc.hhc"));
    EXPECT_EQ(metadata.indexPath, QStringLiteral("index.hhk"));
    EXPECT_EQ(metadata.homePath, QStringLiteral("home.htm"));
    EXPECT_EQ(metadata.docTitle, QStringLiteral("Title"));
    EXPECT_TRUE(metadata.encodingName.isNull());
}

TEST(CHMMetadataReader, DecodesEachStringInTheCodePageKnownAtThatPoint)
{
    // "Глава" in CP1251; the same bytes are no UTF-8.
    const QByteArray cyrillic("\xC3\xEB\xE0\xE2\xE0");
    const CHMMetadata metadata = readSystemOnly({stringRecord(3, cyrillic), localeRecord(1049),
                                                 stringRecord(3, cyrillic), stringRecord(2, cyrillic + ".htm"),
                                                 localeRecord(1033), stringRecord(0, "\xE9.hhc")});
    EXPECT_EQ(metadata.docTitle, QStringLiteral("Глава"));
    EXPECT_EQ(metadata.homePath, QStringLiteral("Глава.htm"));
    EXPECT_EQ(metadata.tocPath, QStringLiteral("é.hhc"));
    EXPECT_EQ(metadata.encodingName, QStringLiteral("CP1252"));
}

TEST(CHMMetadataReader, WindowStringsAreUtf8AndGiveWayWhenTheyDoNotDecode)
{
    Strings strings;
    const WindowEntry entry{strings.add("\xC3\xEB\xE0\xE2\xE0"), strings.add("\xC3\xA9.hhc"), 0, 0};
    const CHMMetadata metadata = CHMMetadataReader::read(
        windows({entry}), strings.bytes(), system({localeRecord(1049), stringRecord(3, "\xC3\xEB\xE0\xE2\xE0")}),
        kNothingExists);
    EXPECT_EQ(metadata.tocPath, QStringLiteral("é.hhc"));
    EXPECT_EQ(metadata.docTitle, QStringLiteral("Глава"));
}

TEST(CHMMetadataReader, TheLastLocaleRecordSetsTheEncodingEvenToNone)
{
    EXPECT_EQ(readSystemOnly({localeRecord(1041)}).encodingName, QStringLiteral("CP932"));
    EXPECT_TRUE(readSystemOnly({localeRecord(1041), localeRecord(1034)}).encodingName.isNull());
    EXPECT_TRUE(readSystemOnly({localeRecord(0)}).encodingName.isNull());
    EXPECT_TRUE(readSystemOnly({localeRecord(0xFFFFFFFF)}).encodingName.isNull());
}

TEST(CHMMetadataReader, FindsSitemapsNamedAfterTheCompiledFileOnlyWhenTheyExist)
{
    QSet<QString> asked;
    const auto onlyContents = [&](const QString& path) {
        asked.insert(path);
        return path == QLatin1String("/help.hhc");
    };
    const CHMMetadata found = readSystemOnly({stringRecord(6, "help")}, onlyContents);
    EXPECT_EQ(found.tocPath, QStringLiteral("/help.hhc"));
    EXPECT_TRUE(found.indexPath.isNull());
    EXPECT_EQ(asked, (QSet<QString>{"/help.hhc", "/help.hhk"}));

    const CHMMetadata kept = readSystemOnly({stringRecord(0, "own.hhc"), stringRecord(6, "help")}, onlyContents);
    EXPECT_EQ(kept.tocPath, QStringLiteral("own.hhc"));
}

TEST(CHMMetadataReader, ATitleOfOnlySpacesIsNone)
{
    EXPECT_TRUE(readSystemOnly({stringRecord(3, " \t\r\n ")}).docTitle.isNull());
    // The paths keep the empty/none difference: an empty home stays empty.
    const CHMMetadata metadata = readSystemOnly({stringRecord(2, "")});
    EXPECT_FALSE(metadata.homePath.isNull());
    EXPECT_TRUE(metadata.homePath.isEmpty());
}

TEST(CHMMetadataReader, WithoutSystemOnlyTheWindowsCount)
{
    Strings strings;
    const WindowEntry entry{strings.add("Title"), 0, 0, strings.add("home.htm")};
    const CHMMetadata metadata = CHMMetadataReader::read(windows({entry}), strings.bytes(), QByteArray(), kNothingExists);
    EXPECT_FALSE(metadata.hasSystem);
    EXPECT_EQ(metadata.docTitle, QStringLiteral("Title"));
    EXPECT_EQ(metadata.homePath, QStringLiteral("home.htm"));
    EXPECT_TRUE(metadata.tocPath.isEmpty());
}

TEST(CHMMetadataReader, KeepsWhatIsAlreadyKnown)
{
    CHMMetadata known;
    known.docTitle = QStringLiteral("Known");
    known.encodingName = QStringLiteral("CP1251");
    const CHMMetadata metadata = CHMMetadataReader::read(
        QByteArray(), QByteArray(), system({stringRecord(3, "Other"), stringRecord(2, "\xC3\xEB.htm")}), kNothingExists,
        known);
    EXPECT_EQ(metadata.docTitle, QStringLiteral("Known"));
    EXPECT_EQ(metadata.homePath, QStringLiteral("Гл.htm"));
}

} // namespace
