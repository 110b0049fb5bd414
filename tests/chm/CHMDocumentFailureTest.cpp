#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"

#include "support/FixtureFiles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

void expectUnopened(const CHMDocument& doc)
{
    EXPECT_EQ(doc.chmFileHandle(), nullptr);
    EXPECT_FALSE(doc.exist(QStringLiteral("/#SYSTEM")));
    EXPECT_TRUE(doc.content(QStringLiteral("/#SYSTEM")).isNull());
    EXPECT_EQ(doc.tocSource(), nullptr);
    EXPECT_EQ(doc.indexSource(), nullptr);
    EXPECT_TRUE(doc.docTitle().isNull());
    EXPECT_TRUE(doc.homePath().isNull());
}

bool open(CHMDocument& doc, const QString& path)
{
    QString error = QStringLiteral("untouched");
    const bool opened = doc.readFromURL(QUrl::fromLocalFile(path), QStringLiteral("CHM"), &error);
    EXPECT_EQ(error, QStringLiteral("untouched"));
    return opened;
}

QByteArray randomBytes(qsizetype size)
{
    QRandomGenerator generator(20240611);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

TEST(CHMDocumentFailure, FilesThatAreNoChmFailToOpenAndLeaveNothingOpen)
{
    QTemporaryDir folder;
    const QByteArray basic = FixtureFiles::readAll(TestSupport::fixturePath(QStringLiteral("chm-basic")));
    const QList<QString> paths{
        FixtureFiles::writeFile(folder, QStringLiteral("empty.chm"), QByteArray()),
        FixtureFiles::writeFile(folder, QStringLiteral("random.chm"), randomBytes(64 * 1024)),
        FixtureFiles::writeFile(folder, QStringLiteral("text.chm"), QByteArray("<html><body>not a CHM</body></html>")),
        FixtureFiles::writeFile(folder, QStringLiteral("header-only.chm"), basic.left(40)),
        folder.filePath(QStringLiteral("missing.chm")),
        folder.path(),
    };
    for (const QString& path : paths) {
        CHMDocument doc;
        EXPECT_FALSE(open(doc, path)) << path.toStdString();
        expectUnopened(doc);
    }
}

TEST(CHMDocumentFailure, ATruncatedFileFailsToOpenRatherThanServeZeros)
{
    QTemporaryDir folder;
    const QByteArray basic = FixtureFiles::readAll(TestSupport::fixturePath(QStringLiteral("chm-basic")));
    for (const qsizetype size : {basic.size() / 8, basic.size() / 2, basic.size() - 100, basic.size() - 1}) {
        CHMDocument doc;
        EXPECT_FALSE(open(doc, FixtureFiles::writeFile(folder, QStringLiteral("truncated.chm"), basic.left(size))))
            << size;
        expectUnopened(doc);
    }
}

TEST(CHMDocumentFailure, WithoutSystemObjectTheWindowDefinitionsStillCount)
{
    QTemporaryDir folder;
    const QString path = FixtureFiles::patchedFixture(folder, QStringLiteral("chm-basic"), [](QByteArray& bytes) {
        FixtureFiles::replaceOnce(bytes, QByteArray("/#SYSTEM"), QByteArray("/#SYSTEX"));
    });
    CHMDocument doc;
    ASSERT_TRUE(open(doc, path));
    EXPECT_FALSE(doc.loadMetadata());
    EXPECT_EQ(doc.docTitle(), QStringLiteral("Basic Window Title"));
    EXPECT_EQ(doc.homePath(), QStringLiteral("home.htm"));
    EXPECT_TRUE(doc.encodingName().isNull());
    ASSERT_NE(doc.tocSource(), nullptr);
    EXPECT_EQ(doc.tocSource()->pageList().size(), 8);
}

TEST(CHMDocumentFailure, WithoutWindowDefinitionsTheSystemRecordsCount)
{
    QTemporaryDir folder;
    const QString path = FixtureFiles::patchedFixture(folder, QStringLiteral("chm-basic"), [](QByteArray& bytes) {
        FixtureFiles::replaceOnce(bytes, QByteArray("/#WINDOWS"), QByteArray("/#WINDOWX"));
    });
    CHMDocument doc;
    ASSERT_TRUE(open(doc, path));
    EXPECT_EQ(doc.docTitle(), QStringLiteral("Basic Project Title"));
    EXPECT_EQ(doc.homePath(), QStringLiteral("home.htm"));
    EXPECT_EQ(doc.encodingName(), QStringLiteral("CP1252"));
}

TEST(CHMDocumentFailure, AnEmptyContentsFileGivesAnEmptyTree)
{
    CHMDocument doc;
    ASSERT_TRUE(open(doc, TestSupport::fixturePath(QStringLiteral("chm-empty-toc"))));
    EXPECT_TRUE(doc.docTitle().isNull());
    EXPECT_TRUE(doc.encodingName().isNull());
    EXPECT_EQ(doc.tocPath(), QStringLiteral("empty.hhc"));
    EXPECT_EQ(doc.homePath(), QStringLiteral("/default.htm"));
    ASSERT_NE(doc.tocSource(), nullptr);
    EXPECT_EQ(doc.tocSource()->rootChildrenCount(), 0);
    EXPECT_TRUE(doc.tocSource()->pageList().isEmpty());
    EXPECT_EQ(doc.indexSource(), nullptr);
}

TEST(CHMDocumentFailure, OpeningAnotherFileForgetsTheFirst)
{
    CHMDocument doc;
    ASSERT_TRUE(open(doc, TestSupport::fixturePath(QStringLiteral("chm-basic"))));
    ASSERT_TRUE(open(doc, TestSupport::fixturePath(QStringLiteral("chm-empty-toc"))));
    EXPECT_TRUE(doc.docTitle().isNull());
    EXPECT_EQ(doc.homePath(), QStringLiteral("/default.htm"));
    EXPECT_EQ(doc.indexSource(), nullptr);
    EXPECT_FALSE(doc.exist(QStringLiteral("/intro.htm")));
    QTemporaryDir folder;
    EXPECT_FALSE(open(doc, FixtureFiles::writeFile(folder, QStringLiteral("empty.chm"), QByteArray())));
    expectUnopened(doc);
}

} // namespace
