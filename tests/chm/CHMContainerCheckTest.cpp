// Damaged CHM files made by changing a few bytes of a compiled fixture. Before the container check
// each of the first group crashed chmlib (division by zero, a null decoder, a read or write past a
// heap buffer); now each is refused as a file that does not open.

#include "CompiledFileBytes.h"

#include "chm/CHMContainerCheck.h"
#include "chm/CHMDocument.h"

#include "support/FixtureFiles.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

namespace {

qsizetype directoryHeaderAt(const QByteArray& file)
{
    return static_cast<qsizetype>(readLE(file, 0x48, 8));
}

// Opens the file as the batch does and reads every object the metadata names.
bool openAndRead(const QString& path)
{
    CHMDocument doc;
    if (!doc.readFromURL(QUrl::fromLocalFile(path), QStringLiteral("CHM")))
        return false;
    for (const char* object : {"/#WINDOWS", "/#STRINGS", "/#SYSTEM", "/home.htm", "/toc.hhc", "/index.hhk"})
        doc.content(QString::fromLatin1(object));
    return true;
}

class CHMContainerCheckTest : public testing::Test {
protected:
    QString patched(const std::function<void(QByteArray&)>& patch)
    {
        return FixtureFiles::patchedFixture(m_folder, QStringLiteral("chm-basic"), patch);
    }

    QTemporaryDir m_folder;
};

} // namespace

TEST_F(CHMContainerCheckTest, TheFixturesAndAnUnchangedCopyPassTheCheck)
{
    EXPECT_TRUE(openAndRead(patched([](QByteArray&) {})));
    for (const char* fixture : {"chm-basic", "chm-cyrillic", "chm-japanese", "export-wide", "export-frames"})
        EXPECT_TRUE(CHMContainerCheck::isSafeToOpen(TestSupport::fixturePath(QString::fromLatin1(fixture)))) << fixture;
}

TEST_F(CHMContainerCheckTest, ACompressedBlockLargerThanChmlibsBufferIsRefused)
{
    // The reset table's second offset ends block 0 64 KiB in: chmlib would read that much into
    // a buffer of 38 KiB. The bytes are there to be read.
    EXPECT_FALSE(openAndRead(patched([](QByteArray& file) {
        const Entry table = entryOf(file, kResetTable);
        writeLE(file, table.dataAt + 0x28 + 8, 0x10000, 8);
        writeLE(file, table.dataAt + 24, 0x10000, 8);
        file.append(QByteArray(0x20000, 'x'));
    })));
}

TEST_F(CHMContainerCheckTest, UnusableLzxControlDataIsRefused)
{
    const auto controlPatch = [&](qsizetype field, quint32 value) {
        return patched([=](QByteArray& file) { writeLE(file, entryOf(file, kControlData).dataAt + field, value, 4); });
    };
    EXPECT_FALSE(openAndRead(controlPatch(16, 0))) << "window size 0";
    EXPECT_FALSE(openAndRead(controlPatch(20, 0))) << "no windows per reset";
    EXPECT_FALSE(openAndRead(controlPatch(12, 0))) << "reset interval 0";
    EXPECT_FALSE(openAndRead(controlPatch(16, 3))) << "window not a power of two";
    EXPECT_FALSE(openAndRead(controlPatch(4, 0x43585A4D))) << "signature";
    EXPECT_FALSE(openAndRead(controlPatch(8, 7))) << "version";
    // A window of 4 MiB (with a reset interval chmlib accepts for it) makes the LZX decoder's set-up
    // fail, and chmlib uses the decoder all the same.
    EXPECT_FALSE(openAndRead(patched([](QByteArray& file) {
        const Entry control = entryOf(file, kControlData);
        writeLE(file, control.dataAt + 12, 128, 4);
        writeLE(file, control.dataAt + 16, 128, 4);
    })));
}

TEST_F(CHMContainerCheckTest, SectionObjectsOutsideTheUncompressedSectionAreRefused)
{
    // chmlib would decompress them before its block cache exists: a division by zero.
    for (const QByteArray& name : {kControlData, kResetTable}) {
        EXPECT_FALSE(openAndRead(patched([&](QByteArray& file) { file[entryOf(file, name).sectionAt] = 2; })))
            << name.toStdString();
    }
}

TEST_F(CHMContainerCheckTest, ADirectoryChunkShorterThanItsHeaderIsRefused)
{
    EXPECT_FALSE(openAndRead(patched([](QByteArray& file) { writeLE(file, directoryHeaderAt(file) + 0x10, 0x10, 4); })));
}

TEST_F(CHMContainerCheckTest, ResetTablesThatDescribeNoSoundBlocksAreRefused)
{
    const auto tablePatch = [&](qsizetype field, quint64 value, int width) {
        return patched([=](QByteArray& file) { writeLE(file, entryOf(file, kResetTable).dataAt + field, value, width); });
    };
    EXPECT_FALSE(CHMContainerCheck::isSafeToOpen(tablePatch(4, 0, 4))) << "no blocks";
    EXPECT_FALSE(CHMContainerCheck::isSafeToOpen(tablePatch(4, 1000, 4))) << "more blocks than entries";
    EXPECT_FALSE(CHMContainerCheck::isSafeToOpen(tablePatch(32, 0, 8))) << "block length 0";
    EXPECT_FALSE(CHMContainerCheck::isSafeToOpen(tablePatch(32, 0x10000, 8))) << "block length not one frame";
    EXPECT_FALSE(CHMContainerCheck::isSafeToOpen(tablePatch(0x28, 5000, 8))) << "offsets going back";
    EXPECT_FALSE(CHMContainerCheck::isSafeToOpen(tablePatch(24, 1u << 20, 8))) << "more than the content holds";
}

TEST_F(CHMContainerCheckTest, AnObjectOutsideTheFileFailsAloneAndTheFileStillOpens)
{
    // The metadata object running past the file's end: chmlib reads what the file holds of it.
    const QString longSystem = patched([](QByteArray& file) {
        const Entry system = entryOf(file, QByteArrayLiteral("/#SYSTEM"));
        ASSERT_GE(system.length, 128u); // two bytes
        file[system.lengthAt] = '\xFF';
        file[system.lengthAt + 1] = '\x7F';
    });
    CHMDocument document;
    ASSERT_TRUE(document.readFromURL(QUrl::fromLocalFile(longSystem), QStringLiteral("CHM")));
    EXPECT_TRUE(document.content(QStringLiteral("/#SYSTEM")).isNull());
    EXPECT_FALSE(document.content(QStringLiteral("/home.htm")).isNull());
    // The compressed data cut short by a byte: the file opens, its compressed objects fail.
    CHMDocument cut;
    ASSERT_TRUE(cut.readFromURL(QUrl::fromLocalFile(patched([](QByteArray& file) { file.chop(1); })), QStringLiteral("CHM")));
    EXPECT_TRUE(cut.content(QStringLiteral("/home.htm")).isNull());
    EXPECT_FALSE(cut.content(QStringLiteral("/#SYSTEM")).isNull());
}

TEST_F(CHMContainerCheckTest, ListingChunksThatChmlibWouldMisreadAreRefused)
{
    const qsizetype chunk = [] {
        const QByteArray file = FixtureFiles::readAll(TestSupport::fixturePath(QStringLiteral("chm-basic")));
        return directoryHeaderAt(file) + 0x54;
    }();
    // Free space larger than the chunk; the chunk as its own successor (an endless listing); a
    // name that starts with NUL (chmlib would take its last character at index -1).
    EXPECT_FALSE(CHMContainerCheck::isSafeToOpen(patched([=](QByteArray& file) { writeLE(file, chunk + 4, 0x2000, 4); })));
    EXPECT_FALSE(CHMContainerCheck::isSafeToOpen(patched([=](QByteArray& file) { writeLE(file, chunk + 16, 0, 4); })));
    EXPECT_FALSE(CHMContainerCheck::isSafeToOpen(patched([=](QByteArray& file) { file[chunk + 0x15] = '\0'; })));
    // An entry that runs past the used part of the chunk.
    EXPECT_FALSE(CHMContainerCheck::isSafeToOpen(patched([=](QByteArray& file) {
        writeLE(file, chunk + 4, readLE(file, chunk + 4, 4) + 2, 4);
    })));
}

namespace {

// A container of its own: a listing chunk with one object and an index chunk that sends the lookup
// of that object's name to `indexTarget`.
QByteArray twoChunkContainer(quint8 indexTarget)
{
    constexpr qsizetype kChunk = 0x100;
    QByteArray file = twoChunkDirectory(kChunk);
    const qsizetype directory = kOwnDirectoryAt;
    const QByteArray listing = QByteArray("\x02/a\x00\x00\x00", 6);
    const qsizetype first = directory + 0x54;
    file.replace(first, 4, "PMGL");
    writeLE(file, first + 4, kChunk - 0x14 - listing.size(), 4);
    writeLE(file, first + 12, 0xFFFFFFFF, 4);
    writeLE(file, first + 16, 0xFFFFFFFF, 4);
    file.replace(first + 0x14, listing.size(), listing);
    const QByteArray index = QByteArray("\x02/a", 3) + char(indexTarget);
    const qsizetype second = first + kChunk;
    file.replace(second, 4, "PMGI");
    writeLE(file, second + 4, kChunk - 8 - index.size(), 4);
    file.replace(second + 8, index.size(), index);
    return file;
}

} // namespace

TEST(CHMContainerCheckIndex, AnIndexThatLeadsBackToItselfIsRefused)
{
    EXPECT_TRUE(CHMContainerCheck::isSafeContainer(twoChunkContainer(0)));
    EXPECT_FALSE(CHMContainerCheck::isSafeContainer(twoChunkContainer(1))) << "lookup would never end";
    EXPECT_FALSE(CHMContainerCheck::isSafeContainer(twoChunkContainer(2))) << "chunk outside the directory";
}
