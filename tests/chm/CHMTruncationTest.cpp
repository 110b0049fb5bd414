// Files cut off anywhere still open, and every object whose bytes the cut file holds reads whole:
// chmlib fails to read what is missing on its own, and the check must refuse no more than that.
// TOMEFOLD_TRUNCATION_CHM (paths separated by ':') runs the same over real help files.

#include "CompiledFileBytes.h"

#include "chm/CHMContainerCheck.h"
#include "chm/CHMDirectoryListing.h"
#include "chm/CHMDocument.h"

#include "support/FixtureFiles.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <chm_lib.h>

namespace {

constexpr int kCutPoints = 20;

// The file's last byte each of the object's bytes depends on: for a compressed object, the end of
// the compressed data of its last block (chmlib decodes every block before it since the reset).
std::optional<quint64> lastByteNeeded(const CHMContainerCheck::Container& container, quint64 dataOffset,
                                      const chmUnitInfo& unit)
{
    if (unit.space == CHM_UNCOMPRESSED)
        return dataOffset + unit.start + unit.length;
    if (!container.compressed)
        return std::nullopt;
    const CHMContainerCheck::CompressedSection& section = *container.compressed;
    const quint64 lastBlock = (unit.start + unit.length - 1) / 0x8000;
    const quint64 end = lastBlock + 1 < section.blockCount ? section.blockStarts.at(lastBlock + 1) : section.compressedLength;
    return section.contentOffset + end;
}

struct ObjectBytes {
    QString path;
    QByteArray bytes;
    quint64 lastByte = 0;
};

// Every object of the whole file with its bytes and the length of file it needs.
std::vector<ObjectBytes> readEveryObject(const QString& path)
{
    std::vector<ObjectBytes> objects;
    const std::optional<CHMContainerCheck::Container> container = CHMContainerCheck::checkFileToOpen(path);
    const std::optional<QList<QByteArray>> names = CHMDirectoryListing::listObjectNames(path);
    CHMDocument document;
    if (!container || !names || !document.readFromURL(QUrl::fromLocalFile(path), QStringLiteral("CHM")))
        return objects;
    const QByteArray file = FixtureFiles::readAll(path);
    const quint64 dataOffset = readLE(file, 0x58, 8);
    const std::lock_guard guard(document.lock());
    for (const QByteArray& name : *names) {
        chmUnitInfo unit{};
        if (!name.startsWith('/') || name.endsWith('/')
            || chm_resolve_object(document.chmFileHandle(), name.constData(), &unit) != CHM_RESOLVE_SUCCESS || unit.length == 0)
            continue;
        const QString objectPath = QString::fromUtf8(name);
        const std::optional<quint64> lastByte = lastByteNeeded(*container, dataOffset, unit);
        const QByteArray bytes = document.content(objectPath);
        EXPECT_FALSE(bytes.isNull()) << "unreadable in the whole file: " << name.constData();
        if (lastByte && !bytes.isNull())
            objects.push_back({objectPath, bytes, *lastByte});
    }
    return objects;
}

void expectCutCopiesReadWhatTheyHold(const QString& path)
{
    const QByteArray whole = FixtureFiles::readAll(path);
    ASSERT_GT(whole.size(), 2);
    const std::vector<ObjectBytes> objects = readEveryObject(path);
    ASSERT_FALSE(objects.empty()) << path.toStdString();
    QTemporaryDir folder;
    for (int point = 0; point < kCutPoints; ++point) {
        // From one byte to half the file.
        const qsizetype cut = 1 + (whole.size() / 2 - 1) * point / (kCutPoints - 1);
        const QString cutPath = FixtureFiles::writeFile(folder, QStringLiteral("cut-%1.chm").arg(point), whole.chopped(cut));
        const auto held = static_cast<quint64>(whole.size() - cut);
        CHMDocument document;
        const bool opened = document.readFromURL(QUrl::fromLocalFile(cutPath), QStringLiteral("CHM"));
        int readWhole = 0;
        int expected = 0;
        for (const ObjectBytes& object : objects) {
            const bool inFile = object.lastByte <= held;
            expected += inFile ? 1 : 0;
            if (!opened)
                continue;
            const QByteArray bytes = document.content(object.path);
            // What is read is the object itself, never a part of it or garbage.
            EXPECT_TRUE(bytes.isNull() || bytes == object.bytes) << object.path.toStdString() << " cut " << cut;
            if (inFile) {
                EXPECT_EQ(bytes, object.bytes) << object.path.toStdString() << " cut " << cut;
            }
            readWhole += bytes == object.bytes ? 1 : 0;
        }
        // What chmlib opens opens.
        if (chmFile* handle = chm_open(QFile::encodeName(cutPath).constData())) {
            chm_close(handle);
            EXPECT_TRUE(opened) << "cut " << cut;
        }
        std::printf("[ cut %lld ] %d of %d objects present read whole (%zu in all)\n", static_cast<long long>(cut), readWhole,
                    expected, objects.size());
    }
}

} // namespace

TEST(CHMTruncation, CutCopiesOfFixturesReadEveryObjectTheyHold)
{
    for (const char* fixture : {"chm-basic", "export-many", "export-wide"})
        expectCutCopiesReadWhatTheyHold(TestSupport::fixturePath(QString::fromLatin1(fixture)));
}

TEST(CHMTruncation, CutCopiesOfGivenHelpFilesReadEveryObjectTheyHold)
{
    const QByteArray given = qgetenv("TOMEFOLD_TRUNCATION_CHM");
    if (given.isEmpty())
        GTEST_SKIP() << "set TOMEFOLD_TRUNCATION_CHM to a help file";
    for (const QByteArray& path : given.split(':'))
        expectCutCopiesReadWhatTheyHold(QString::fromLocal8Bit(path));
}
