#include "chm/CHMMetadataReader.h"

#include "MetadataBlobs.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

using namespace MetadataBlobs;

const CHMMetadataReader::ObjectExists kNothingExists = [](const QString&) { return false; };

CHMMetadata readWindows(const QByteArray& windowBytes, const QByteArray& strings)
{
    return CHMMetadataReader::read(windowBytes, strings, QByteArray(), kNothingExists);
}

// Copies into an allocation of exactly the object's size, so that a read past its end is caught.
QByteArray exactCopy(const QByteArray& bytes)
{
    return QByteArray(bytes.constData(), bytes.size());
}

TEST(CHMMetadataMalformed, WindowEntriesTooSmallOrOutsideTheObjectAreSkipped)
{
    Strings strings;
    const WindowEntry entry{strings.add("Title"), 0, 0, strings.add("home.htm")};
    for (const std::uint32_t size : {0u, 4u, 0x68u, 0x6Bu})
        EXPECT_TRUE(readWindows(windows({entry}, size), strings.bytes()).docTitle.isNull()) << size;
    EXPECT_EQ(readWindows(windows({entry}, 0x6C), strings.bytes()).homePath, QStringLiteral("home.htm"));

    // More entries announced than the object holds: the ones inside count.
    QByteArray overstated = windows({entry});
    overstated.replace(0, 4, u32(0xFFFFFFFF));
    EXPECT_EQ(readWindows(exactCopy(overstated), strings.bytes()).docTitle, QStringLiteral("Title"));
    // A huge entry size: the first entry's fields lie inside, the next entry's offset does not
    // wrap around into the object.
    Strings second;
    QByteArray hugeEntries = windows({{0, 0, 0, 0}, {second.add("Wrapped"), 0, 0, 0}});
    hugeEntries.replace(4, 4, u32(0xFFFFFFFC));
    EXPECT_TRUE(readWindows(exactCopy(hugeEntries), second.bytes()).docTitle.isNull());
    for (qsizetype cut = 0; cut < 8; ++cut)
        EXPECT_TRUE(readWindows(exactCopy(windows({entry}).left(cut)), strings.bytes()).docTitle.isNull());
}

TEST(CHMMetadataMalformed, StringOffsetsOutsideTheStringsOrWithoutTheirEndAreAbsent)
{
    Strings strings;
    const std::uint32_t title = strings.add("Title");
    const QByteArray unterminated = exactCopy(strings.bytes().left(strings.bytes().size() - 1));
    EXPECT_TRUE(readWindows(windows({{title, 0, 0, 0}}), unterminated).docTitle.isNull());
    const auto size = static_cast<std::uint32_t>(strings.bytes().size());
    for (const std::uint32_t offset : {size, size + 1, 0xFFFFFFFFu})
        EXPECT_TRUE(readWindows(windows({{offset, 0, 0, 0}}), exactCopy(strings.bytes())).docTitle.isNull());
    // Window definitions without their strings are not read at all.
    EXPECT_TRUE(readWindows(windows({{title, 0, 0, 0}}), QByteArray()).docTitle.isNull());
}

TEST(CHMMetadataMalformed, ASystemRecordCutOffByTheEndStopsTheScan)
{
    QByteArray bytes = system({stringRecord(3, "Title"), stringRecord(2, "home.htm")});
    bytes += u16(0) + u16(100) + QByteArray("toc.hhc");
    const CHMMetadata metadata = CHMMetadataReader::read(QByteArray(), QByteArray(), exactCopy(bytes), kNothingExists);
    EXPECT_EQ(metadata.docTitle, QStringLiteral("Title"));
    EXPECT_EQ(metadata.homePath, QStringLiteral("home.htm"));
    EXPECT_TRUE(metadata.tocPath.isNull());
    for (qsizetype cut = 0; cut <= bytes.size(); ++cut)
        CHMMetadataReader::read(QByteArray(), QByteArray(), exactCopy(bytes.left(cut)), kNothingExists);
}

TEST(CHMMetadataMalformed, ShortRecordsAreReadWithinThemselves)
{
    // A locale record too short for its LCID changes nothing; a string without NUL ends with its record.
    const CHMMetadata metadata = CHMMetadataReader::read(
        QByteArray(), QByteArray(),
        exactCopy(system({localeRecord(1049), record(4, u16(1033)), record(3, "No NUL"), record(2, "")})),
        kNothingExists);
    EXPECT_EQ(metadata.encodingName, QStringLiteral("CP1251"));
    EXPECT_EQ(metadata.docTitle, QStringLiteral("No NUL"));
    EXPECT_TRUE(metadata.homePath.isEmpty());
    EXPECT_FALSE(metadata.homePath.isNull());
}

TEST(CHMMetadataMalformed, TinyOrEmptySystemObjectsHoldNoRecords)
{
    for (const QByteArray& bytes : {QByteArray(""), QByteArray("\x03", 1), u32(3), u32(3) + '\x03'}) {
        const CHMMetadata metadata = CHMMetadataReader::read(QByteArray(), QByteArray(), exactCopy(bytes), kNothingExists);
        EXPECT_TRUE(metadata.hasSystem);
        EXPECT_TRUE(metadata.docTitle.isNull());
    }
}

TEST(CHMMetadataMalformed, RandomObjectsNeverReadOutside)
{
    QRandomGenerator generator(7);
    const auto randomBytes = [&](qsizetype size) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (char& byte : bytes)
            byte = static_cast<char>(generator.bounded(256));
        return bytes;
    };
    const auto anyExists = [](const QString& path) { return path.size() % 2 == 0; };
    for (int round = 0; round < 2000; ++round) {
        QByteArray windowBytes = randomBytes(generator.bounded(400));
        if (windowBytes.size() >= 8 && round % 2 == 0)
            windowBytes.replace(4, 4, u32(0x6C + generator.bounded(8))); // plausible entry sizes
        CHMMetadataReader::read(windowBytes, randomBytes(generator.bounded(64)), randomBytes(generator.bounded(300)),
                                anyExists);
    }
    SUCCEED();
}

} // namespace
