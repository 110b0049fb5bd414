// Compressed data that chmlib's LZX decoder would follow outside its buffers: written frame by frame
// for the check alone, and put in place of a compiled fixture's compressed section, where the
// container check must refuse it before chmlib sees it.

#include "CompiledFileBytes.h"
#include "LZXStreamWriter.h"

#include "chm/CHMContainerCheck.h"
#include "chm/CHMDocument.h"
#include "chm/LZXCheck.h"

#include "support/FixtureFiles.h"

#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Main tree symbols: a match of 8 bytes at the last offset, and one 49150 bytes or more back.
constexpr int kRepeatMatch = 256 + 6;
constexpr int kFarMatch = 256 + (31 << 3) + 6;
constexpr int kFrame = 0x8000;

bool checkFrames(const std::vector<QByteArray>& frames, std::uint32_t framesPerReset = 2)
{
    LZXCheck::Stream stream;
    stream.windowBits = 16;
    stream.framesPerReset = framesPerReset;
    for (const QByteArray& frame : frames)
        stream.frames.emplace_back(frame);
    return LZXCheck::decodesSafely(stream);
}

// One literal, then repeat matches (the offset 1 it starts with) and literals to fill the frame.
QByteArray repeatFrame()
{
    LZXStreamWriter writer;
    writer.twoSymbolBlock(kFrame, kRepeatMatch);
    writer.symbols(false, 1);
    writer.symbols(true, (kFrame - 1) / 8);
    writer.symbols(false, (kFrame - 1) % 8);
    return writer.finish();
}

// An uncompressed block of `stored` bytes that sets the last offset to `r0`, then a verbatim block
// that starts with a match at that offset; the stream's header only in the first frame of an interval.
QByteArray storedThenRepeat(int stored, std::uint32_t r0, bool firstOfInterval = true)
{
    LZXStreamWriter writer(firstOfInterval);
    writer.uncompressedBlock(QByteArray(stored, 'a'), r0);
    writer.twoSymbolBlock(static_cast<std::uint32_t>(kFrame - stored), kRepeatMatch);
    writer.symbols(true, (kFrame - stored) / 8);
    writer.symbols(false, (kFrame - stored) % 8);
    return writer.finish();
}

QByteArray storedFrame(int length = kFrame, bool firstOfInterval = true)
{
    LZXStreamWriter writer(firstOfInterval);
    writer.uncompressedBlock(QByteArray(length, 'x'), 1);
    return writer.finish();
}

} // namespace

TEST(LZXCheck, WellFormedFramesPass)
{
    EXPECT_TRUE(checkFrames({repeatFrame()}));
    EXPECT_TRUE(checkFrames({storedFrame(), storedFrame()}, 1));
    EXPECT_TRUE(checkFrames({storedThenRepeat(100, 50)}));
    // The second frame starts with matches into the first: fine within one reset interval.
    LZXStreamWriter next(false);
    next.twoSymbolBlock(kFrame, kRepeatMatch);
    next.symbols(true, kFrame / 8);
    EXPECT_TRUE(checkFrames({storedFrame(), next.finish()}, 2));
}

TEST(LZXCheck, MatchesFromOutsideTheDecodedWindowAreRefused)
{
    // chmlib would copy from R0 bytes before its window: far outside the heap block.
    EXPECT_FALSE(checkFrames({storedThenRepeat(100, 0x100000)})) << "repeat offset beyond the window";
    EXPECT_FALSE(checkFrames({storedThenRepeat(100, 0xFFFFFFF0)})) << "repeat offset that wraps";
    EXPECT_FALSE(checkFrames({storedThenRepeat(100, 101)})) << "one byte before the decoded data";
    LZXStreamWriter first;
    first.twoSymbolBlock(kFrame, kRepeatMatch);
    first.symbols(true, 1);
    EXPECT_FALSE(checkFrames({first.finish()})) << "a match before anything is decoded";
    LZXStreamWriter far;
    far.twoSymbolBlock(kFrame, kFarMatch);
    far.symbols(false, 1);
    far.symbols(true, 1);
    far.bits(0, 14);
    EXPECT_FALSE(checkFrames({far.finish()})) << "an offset beyond the decoded data";
    // After a reset the earlier frame's bytes are no longer there to copy.
    LZXStreamWriter afterReset;
    afterReset.twoSymbolBlock(kFrame, kRepeatMatch);
    afterReset.symbols(true, kFrame / 8);
    EXPECT_FALSE(checkFrames({storedFrame(), afterReset.finish()}, 1));
    // More than a window decoded since the reset: still no match reaches back past the window.
    const std::vector<QByteArray> threeFrames{storedFrame(), storedFrame(kFrame, false), storedFrame(kFrame, false)};
    std::vector<QByteArray> withinWindow = threeFrames;
    withinWindow.push_back(storedThenRepeat(100, 0x10000, false));
    EXPECT_TRUE(checkFrames(withinWindow, 4)) << "a whole window back";
    std::vector<QByteArray> pastWindow = threeFrames;
    pastWindow.push_back(storedThenRepeat(100, 0x10001, false));
    EXPECT_FALSE(checkFrames(pastWindow, 4)) << "a byte past the window";
}

TEST(LZXCheck, AlignedOffsetMatchesAreCheckedLikeVerbatimOnes)
{
    // Position slot 8: offset 14 plus the aligned symbol, after 20 literals.
    const auto alignedMatch = [](std::uint32_t alignedSymbol) {
        LZXStreamWriter writer;
        writer.alignedBlock(kFrame, {{0, 1}, {256 + (8 << 3) + 6, 1}});
        writer.symbols(false, 20);
        writer.symbols(true, 1);
        writer.bits(alignedSymbol, 3);
        writer.symbols(false, kFrame - 28);
        return writer.finish();
    };
    EXPECT_TRUE(checkFrames({alignedMatch(6)}));
    EXPECT_FALSE(checkFrames({alignedMatch(7)}));
}

TEST(LZXCheck, TruncatedInputIsRefused)
{
    EXPECT_FALSE(checkFrames({repeatFrame().chopped(2)})) << "symbols past the input";
    EXPECT_FALSE(checkFrames({storedFrame().chopped(1)})) << "stored bytes past the input";
    EXPECT_FALSE(checkFrames({storedFrame().left(10)})) << "repeat offsets past the input";
    EXPECT_FALSE(checkFrames({QByteArray()})) << "no input at all";
    EXPECT_FALSE(checkFrames({storedFrame(), QByteArray(2, '\0')})) << "a frame of no blocks";
}

TEST(LZXCheck, HuffmanLengthsChmlibRejectsOrOverrunsAreRefused)
{
    const auto verbatim = [](const std::vector<std::pair<int, int>>& mainLengths, const std::vector<int>& pretree = {}) {
        LZXStreamWriter writer;
        writer.verbatimBlock(kFrame, mainLengths, pretree);
        writer.symbols(false, kFrame);
        return writer.finish();
    };
    EXPECT_TRUE(checkFrames({verbatim({{0, 1}, {1, 1}})}));
    // Three codes of one bit: chmlib's table builder writes past its table before it notices.
    EXPECT_FALSE(checkFrames({verbatim({{0, 1}, {1, 1}, {2, 1}})})) << "over-full main tree";
    EXPECT_FALSE(checkFrames({verbatim({{0, 1}})})) << "incomplete main tree";
    EXPECT_FALSE(checkFrames({verbatim({{0, 1}, {1, 1}}, std::vector<int>(20, 1))})) << "over-full pretree";
    EXPECT_FALSE(checkFrames({verbatim({{0, 1}, {1, 1}}, {3, 3})})) << "incomplete pretree";
}

TEST(LZXCheck, FramesThatEndOutsideTheirLengthAreRefused)
{
    // A match that runs past the frame leaves chmlib copying the frame from before its window.
    LZXStreamWriter overrun;
    overrun.twoSymbolBlock(kFrame, kRepeatMatch);
    overrun.symbols(false, kFrame - 4);
    overrun.symbols(true, 1);
    EXPECT_FALSE(checkFrames({overrun.finish()}));
    LZXStreamWriter invalidType;
    invalidType.bits(0, 3);
    EXPECT_FALSE(checkFrames({invalidType.finish()}));
}

TEST(LZXCheck, GarbageNeverEscapesTheCheck)
{
    // Whatever the bytes, the check ends without touching memory outside its input (run under ASan).
    std::uint32_t state = 12345;
    for (int round = 0; round < 200; ++round) {
        QByteArray frame(static_cast<qsizetype>(state % 4000), '\0');
        for (char& byte : frame) {
            state = state * 1103515245u + 12345u;
            byte = static_cast<char>(state >> 24);
        }
        checkFrames({frame, frame});
    }
}

namespace {

// The chm-basic fixture with its one frame of compressed data replaced by `frame` (the reset table
// lists a second, empty block after it).
void replaceCompressedData(QByteArray& file, const QByteArray& frame)
{
    const qsizetype table = entryOf(file, kResetTable).dataAt;
    const qsizetype content = entryOf(file, kCompressedContent).dataAt;
    ASSERT_EQ(readLE(file, table + 4, 4), 2u);
    ASSERT_LE(static_cast<quint64>(frame.size()), readLE(file, table + 24, 8));
    file.replace(content, frame.size(), frame);
    writeLE(file, table + 24, static_cast<quint64>(frame.size()), 8);
    writeLE(file, table + 0x28 + 8, static_cast<quint64>(frame.size()), 8);
}

// The file opens whatever its compressed data holds; what is refused is a read of the data.
bool readsHome(const QString& path)
{
    CHMDocument document;
    if (!document.readFromURL(QUrl::fromLocalFile(path), QStringLiteral("CHM")))
        return false;
    return !document.content(QStringLiteral("/home.htm")).isNull();
}

} // namespace

TEST(LZXCheckInContainer, DamagedCompressedDataIsRefusedBeforeChmlibDecodesIt)
{
    QTemporaryDir folder;
    const auto withFrame = [&](const QByteArray& frame) {
        return FixtureFiles::patchedFixture(folder, QStringLiteral("chm-basic"),
                                            [&](QByteArray& file) { replaceCompressedData(file, frame); });
    };
    // A sound frame in its place is accepted (its bytes are not the fixture's, but chmlib reads them safely).
    EXPECT_TRUE(CHMContainerCheck::isSafeToOpen(withFrame(repeatFrame())));
    EXPECT_TRUE(CHMContainerCheck::isSafeToOpen(withFrame(storedThenRepeat(100, 50))));
    // Before the check, chmlib copied this frame's matches from 1 GiB before its 64 KiB window
    // and died of a segmentation fault.
    EXPECT_FALSE(readsHome(withFrame(storedThenRepeat(100, 0x40000000))));
    EXPECT_FALSE(readsHome(withFrame(storedThenRepeat(100, 101))));
    EXPECT_FALSE(readsHome(withFrame(repeatFrame().chopped(2))));
    // The fixture's own data, its frame cut short by the reset table.
    EXPECT_FALSE(readsHome(FixtureFiles::patchedFixture(folder, QStringLiteral("chm-basic"), [](QByteArray& file) {
        const qsizetype table = entryOf(file, kResetTable).dataAt;
        const quint64 shorter = readLE(file, table + 24, 8) - 64;
        writeLE(file, table + 24, shorter, 8);
        writeLE(file, table + 0x28 + 8, shorter, 8);
    })));
    // Garbage Huffman lengths: the fixture's pretree and main tree lengths overwritten.
    EXPECT_FALSE(readsHome(FixtureFiles::patchedFixture(folder, QStringLiteral("chm-basic"), [](QByteArray& file) {
        const qsizetype content = entryOf(file, kCompressedContent).dataAt;
        file.replace(content + 8, 64, QByteArray(64, '\x5A'));
    })));
}
