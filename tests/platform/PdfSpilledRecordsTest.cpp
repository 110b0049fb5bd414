#include "platform/PdfSpilledRecords.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// What a large export remembers of every page waits in a temporary file a block at a time; a page
// reads back as it was set, wherever its records are at the moment.

namespace {

// count records of four bytes, numbered from first: each is told apart from every other.
QByteArray records(int first, int count)
{
    QByteArray bytes;
    for (int at = first; at < first + count; ++at)
        bytes += QByteArray::number(at).rightJustified(4, '0');
    return bytes;
}

} // namespace

TEST(PdfSpilledRecords, PagesReadBackAsSetWhetherTheirBlockIsInTheFileOrStillWaiting)
{
    PdfSpilledRecords store(4, 12); // a block of three records
    ASSERT_TRUE(store.setPage(0, records(0, 2)));
    ASSERT_TRUE(store.setPage(2, records(100, 2))); // page 1 has none
    ASSERT_TRUE(store.setPage(3, records(200, 1)));
    EXPECT_EQ(store.spilledBytes(), 16); // the first two pages filled a block
    ASSERT_TRUE(store.setPage(4, records(300, 5)));
    EXPECT_EQ(store.spilledBytes(), 40);
    ASSERT_TRUE(store.setPage(6, records(400, 1))); // waits

    EXPECT_EQ(store.pageCount(), 7);
    const std::vector<std::pair<int, QByteArray>> expected{
        {0, records(0, 2)}, {1, {}}, {2, records(100, 2)}, {3, records(200, 1)}, {4, records(300, 5)}, {5, {}}, {6, records(400, 1)}};
    // In an order that jumps back and forth between the file and the waiting block.
    for (int page : {6, 0, 4, 2, 1, 3, 5, 0}) {
        const QByteArray& want = expected[static_cast<std::size_t>(page)].second;
        EXPECT_EQ(store.page(page), want) << "page " << page;
        EXPECT_EQ(store.count(page), want.size() / 4) << "page " << page;
    }
    EXPECT_EQ(store.count(7), 0);
    EXPECT_TRUE(store.page(7).isEmpty());
    EXPECT_EQ(store.count(-1), 0);
    EXPECT_TRUE(store.page(-1).isEmpty());
}

TEST(PdfSpilledRecords, APageSetAgainReadsItsNewRecordsAndLeavesItsNeighboursAlone)
{
    PdfSpilledRecords store(4, 12);
    for (int page = 0; page < 3; ++page)
        ASSERT_TRUE(store.setPage(page, records(page * 10, 2)));
    EXPECT_EQ(store.spilledBytes(), 16); // pages 0 and 1; page 2 waits

    // The same count goes in place, in the file (page 0) and in the waiting block (page 2).
    ASSERT_TRUE(store.setPage(0, records(900, 2)));
    ASSERT_TRUE(store.setPage(2, records(920, 2)));
    EXPECT_EQ(store.spilledBytes(), 16);
    // Another count goes anew; a page may also be left with none.
    ASSERT_TRUE(store.setPage(1, records(910, 3)));
    ASSERT_TRUE(store.setPage(3, records(930, 2)));
    ASSERT_TRUE(store.setPage(3, QByteArray()));

    EXPECT_EQ(store.page(0), records(900, 2));
    EXPECT_EQ(store.page(1), records(910, 3));
    EXPECT_EQ(store.count(1), 3);
    EXPECT_EQ(store.page(2), records(920, 2));
    EXPECT_EQ(store.count(3), 0);
    EXPECT_TRUE(store.page(3).isEmpty());
}

TEST(PdfSpilledRecords, PartsOfRecordsAndNegativePagesAreRefused)
{
    PdfSpilledRecords store(4, 12);
    EXPECT_FALSE(store.setPage(0, QByteArray("12345")));
    EXPECT_FALSE(store.setPage(-1, records(0, 1)));
    EXPECT_EQ(store.pageCount(), 0);
    ASSERT_TRUE(store.setPage(0, records(0, 1)));
    EXPECT_FALSE(store.setPage(0, QByteArray("123")));
    EXPECT_EQ(store.page(0), records(0, 1));
}

TEST(PdfSpilledRecords, WithoutATemporaryFileTheRecordsStayInMemoryAndReadTheSame)
{
    const QByteArray saved = qgetenv("TMPDIR");
    const QTemporaryDir parent;
    ASSERT_TRUE(parent.isValid());
    // A temporary folder that is a file: nothing can be made in it, not even by root.
    QFile notAFolder(QDir(parent.path()).filePath(QStringLiteral("file")));
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();
    qputenv("TMPDIR", notAFolder.fileName().toLocal8Bit());
    PdfSpilledRecords store(4, 8);
    for (int page = 0; page < 6; ++page)
        ASSERT_TRUE(store.setPage(page, records(page * 10, 3)));
    ASSERT_TRUE(store.setPage(2, records(500, 3)));
    qputenv("TMPDIR", saved);

    EXPECT_EQ(store.spilledBytes(), 0);
    for (int page = 0; page < 6; ++page)
        EXPECT_EQ(store.page(page), page == 2 ? records(500, 3) : records(page * 10, 3)) << "page " << page;
}
