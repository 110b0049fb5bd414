#include "chm/CHMDirectoryListing.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chm_lib.h>

namespace {

void writeText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// Compiles a help project of many pages with long names, so that its directory spans several
// listing chunks. Returns the compiled file's path.
QString compileManyPages(const QTemporaryDir& dir, int pageCount)
{
    QByteArray contents = "<html><body><ul>\n";
    for (int i = 0; i < pageCount; ++i) {
        const QByteArray name = "topic-with-a-rather-long-name-" + QByteArray::number(i).rightJustified(4, '0') + ".htm";
        writeText(dir.filePath(QString::fromLatin1(name)), "<html><body><p>Page " + QByteArray::number(i) + "</p></body></html>");
        contents += "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"" + name
            + "\"><param name=\"Local\" value=\"" + name + "\"></object>\n";
    }
    contents += "</ul></body></html>\n";
    writeText(dir.filePath(QStringLiteral("toc.hhc")), contents);
    writeText(dir.filePath(QStringLiteral("many.hhp")),
              "[OPTIONS]\nCompiled file=many.chm\nContents file=toc.hhc\nDefault topic=topic-with-a-rather-long-name-0000.htm\n"
              "Language=0x409 English\nTitle=Many\n\n[FILES]\n");
    QProcess chmcmd;
    chmcmd.setWorkingDirectory(dir.path());
    chmcmd.start(QStringLiteral("chmcmd"), {QStringLiteral("--verbosity"), QStringLiteral("0"), QStringLiteral("many.hhp")});
    chmcmd.waitForFinished(120000);
    return dir.filePath(QStringLiteral("many.chm"));
}

int collectName(chmFile*, chmUnitInfo* unit, void* context)
{
    static_cast<QSet<QByteArray>*>(context)->insert(QByteArray(unit->path));
    return CHM_ENUMERATOR_CONTINUE;
}

QByteArray directoryWithOneChunk(const QByteArray& chunk, quint32 chunkCount = 1)
{
    QByteArray directory(0x54, '\0');
    directory.replace(0, 4, "ITSP");
    auto put32 = [&directory](int offset, quint32 value) {
        for (int i = 0; i < 4; ++i)
            directory[offset + i] = static_cast<char>(value >> (8 * i));
    };
    put32(0x08, 0x54);
    put32(0x10, static_cast<quint32>(chunk.size()));
    put32(0x20, 0);
    put32(0x28, chunkCount);
    return directory + chunk;
}

QByteArray listingChunk(const QByteArray& entries, int chunkLength = 64)
{
    QByteArray chunk(chunkLength, '\0');
    chunk.replace(0, 4, "PMGL");
    const auto freeSpace = static_cast<quint32>(chunkLength - 20 - entries.size());
    for (int i = 0; i < 4; ++i)
        chunk[4 + i] = static_cast<char>(freeSpace >> (8 * i));
    chunk.replace(12, 4, QByteArray(4, '\xff'));
    chunk.replace(16, 4, QByteArray(4, '\xff'));
    chunk.replace(20, entries.size(), entries);
    return chunk;
}

} // namespace

TEST(CHMDirectoryListing, FindsEveryObjectOfAFileWhoseDirectorySpansSeveralChunks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = compileManyPages(dir, 400);
    ASSERT_TRUE(QFile::exists(path)) << "chmcmd made no file";

    const auto names = CHMDirectoryListing::listObjectNames(path);
    ASSERT_TRUE(names);
    const QSet<QByteArray> listed(names->begin(), names->end());
    EXPECT_EQ(listed.size(), names->size()) << "each object is listed once";
    for (int i = 0; i < 400; ++i) {
        const QByteArray name = "/topic-with-a-rather-long-name-" + QByteArray::number(i).rightJustified(4, '0') + ".htm";
        EXPECT_TRUE(listed.contains(name)) << name.constData();
    }
    EXPECT_TRUE(listed.contains("/#SYSTEM"));
    EXPECT_TRUE(listed.contains("/toc.hhc"));

    // Whatever chmlib enumerates is listed too, and every listed name resolves.
    chmFile* handle = chm_open(QFile::encodeName(path).constData());
    ASSERT_NE(handle, nullptr);
    QSet<QByteArray> enumerated;
    chm_enumerate(handle, CHM_ENUMERATE_ALL, &collectName, &enumerated);
    for (const QByteArray& name : enumerated)
        EXPECT_TRUE(listed.contains(name)) << name.constData();
    // chmlib's own enumeration misses the objects of the first chunk of such a file.
    EXPECT_GT(listed.size(), enumerated.size());
    for (const QByteArray& name : *names) {
        chmUnitInfo unit{};
        EXPECT_EQ(chm_resolve_object(handle, name.constData(), &unit), CHM_RESOLVE_SUCCESS) << name.constData();
    }
    chm_close(handle);
}

TEST(CHMDirectoryListing, ReadsEntriesAndStopsAtMalformedOnes)
{
    // Name length 5 "/a.ht", then section, offset, length as one-byte numbers.
    const QByteArray entry = QByteArray("\x05/a.ht\x00\x01\x02", 9);
    auto names = CHMDirectoryListing::listObjectNamesInDirectory(directoryWithOneChunk(listingChunk(entry)));
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, QList<QByteArray>{"/a.ht"});

    // A name running past the used part of the chunk ends the chunk's entries.
    const QByteArray longName = QByteArray("\x30/a", 3);
    names = CHMDirectoryListing::listObjectNamesInDirectory(directoryWithOneChunk(listingChunk(entry + longName)));
    ASSERT_TRUE(names);
    EXPECT_EQ(names->size(), 1);

    // A number whose continuation bits never end.
    const QByteArray endless = QByteArray("\x05/b.ht") + QByteArray(12, '\xff');
    names = CHMDirectoryListing::listObjectNamesInDirectory(directoryWithOneChunk(listingChunk(endless)));
    ASSERT_TRUE(names);
    EXPECT_TRUE(names->isEmpty());
}

TEST(CHMDirectoryListing, RefusesOrSurvivesBrokenDirectories)
{
    EXPECT_FALSE(CHMDirectoryListing::listObjectNamesInDirectory(QByteArray()));
    EXPECT_FALSE(CHMDirectoryListing::listObjectNamesInDirectory(QByteArray(0x54, 'x')));

    // Free space larger than the chunk, and more chunks announced than the bytes hold.
    QByteArray chunk = listingChunk(QByteArray());
    chunk[4] = '\x7f';
    chunk[5] = '\x7f';
    const auto names = CHMDirectoryListing::listObjectNamesInDirectory(directoryWithOneChunk(chunk, 1000));
    ASSERT_TRUE(names);
    EXPECT_TRUE(names->isEmpty());

    // A chunk length too small to hold a chunk header.
    QByteArray tiny = directoryWithOneChunk(QByteArray(8, '\0'));
    EXPECT_FALSE(CHMDirectoryListing::listObjectNamesInDirectory(tiny));

    // A chain of chunks that points back at itself.
    QByteArray looping = listingChunk(QByteArray("\x02/c\x00\x00\x00", 6));
    looping.replace(16, 4, QByteArray(4, '\0'));
    const auto looped = CHMDirectoryListing::listObjectNamesInDirectory(directoryWithOneChunk(looping));
    ASSERT_TRUE(looped);
    EXPECT_EQ(*looped, QList<QByteArray>{"/c"});

    QTemporaryDir dir;
    writeText(dir.filePath(QStringLiteral("not.chm")), "ITSF but nothing more");
    EXPECT_FALSE(CHMDirectoryListing::listObjectNames(dir.filePath(QStringLiteral("not.chm"))));
    EXPECT_FALSE(CHMDirectoryListing::listObjectNames(dir.filePath(QStringLiteral("missing.chm"))));
}
