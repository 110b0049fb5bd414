#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"

#include "support/FixtureFiles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <chm_lib.h>

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

// The directory's numbers are "encints": big-endian groups of seven bits, the high bit set on
// every byte but the last.
QByteArray encint(quint64 value)
{
    QByteArray bytes(1, static_cast<char>(value & 0x7F));
    for (value >>= 7; value != 0; value >>= 7)
        bytes.prepend(static_cast<char>(0x80 | (value & 0x7F)));
    return bytes;
}

quint64 readEncint(const QByteArray& bytes, qsizetype& at)
{
    quint64 value = 0;
    unsigned char byte = 0;
    do {
        byte = static_cast<unsigned char>(bytes.at(at++));
        value = value << 7 | (byte & 0x7F);
    } while ((byte & 0x80) != 0);
    return value;
}

// Rewrites the directory entry of `name` so that it declares `length` bytes: the entry keeps its
// size (the directory stays intact), so the name is shortened to make room and becomes a run of
// "b" after the slash. Returns the new name.
QString declareLength(QByteArray& bytes, const QByteArray& name, quint64 length)
{
    const QByteArray entry = encint(quint64(name.size())) + name;
    const qsizetype start = bytes.indexOf(entry);
    EXPECT_GE(start, 0);
    EXPECT_EQ(bytes.indexOf(entry, start + 1), -1);
    if (start < 0)
        return {};
    qsizetype at = start + entry.size();
    const quint64 section = readEncint(bytes, at);
    const quint64 offset = readEncint(bytes, at);
    readEncint(bytes, at);
    const qsizetype entrySize = at - start;
    const QByteArray tail = encint(section) + encint(offset) + encint(length);
    const qsizetype nameSize = entrySize - 1 - tail.size();
    EXPECT_GE(nameSize, 2);
    const QByteArray newName = "/" + QByteArray(nameSize - 1, 'b');
    const QByteArray replacement = encint(quint64(newName.size())) + newName + tail;
    EXPECT_EQ(replacement.size(), entrySize);
    bytes.replace(start, entrySize, replacement);
    return QString::fromLatin1(newName);
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

TEST(CHMDocumentFailure, ATruncatedFileOpensAsChmlibOpensItAndServesNoZeros)
{
    QTemporaryDir folder;
    const QString whole = TestSupport::fixturePath(QStringLiteral("chm-basic"));
    const QByteArray basic = FixtureFiles::readAll(whole);
    CHMDocument sound;
    ASSERT_TRUE(open(sound, whole));
    for (const qsizetype size : {basic.size() / 8, basic.size() / 2, basic.size() - 100, basic.size() - 1}) {
        const QString path = FixtureFiles::writeFile(folder, QStringLiteral("truncated-%1.chm").arg(size), basic.left(size));
        chmFile* handle = chm_open(QFile::encodeName(path).constData());
        const bool chmlibOpens = handle != nullptr;
        if (handle != nullptr)
            chm_close(handle);
        CHMDocument doc;
        EXPECT_EQ(open(doc, path), chmlibOpens) << size;
        if (!chmlibOpens) {
            expectUnopened(doc);
            continue;
        }
        // What the file no longer holds is missing, never read as zeros or in part.
        for (const char* object : {"/#SYSTEM", "/home.htm", "/toc.hhc", "/chapter1.htm"}) {
            const QByteArray bytes = doc.content(QString::fromLatin1(object));
            EXPECT_TRUE(bytes.isNull() || bytes == sound.content(QString::fromLatin1(object))) << object << " " << size;
            // One the file lists but no longer holds whole is known to be damaged, not missing.
            EXPECT_EQ(doc.isDamagedObject(QString::fromLatin1(object)), bytes.isNull() && doc.exist(QString::fromLatin1(object)))
                << object << " " << size;
            EXPECT_FALSE(sound.isDamagedObject(QString::fromLatin1(object)));
        }
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

TEST(CHMDocumentFailure, AnObjectDeclaredLargerThanTheCapIsNotRead)
{
    // The sizes come from the file: one that declares more than the cap is never read. The
    // container check refuses such a file whole; should a later check let it through, the cap
    // still keeps the object from being read while the file's other objects stay readable.
    QTemporaryDir folder;
    QString oversized;
    const QString path = FixtureFiles::patchedFixture(folder, QStringLiteral("chm-basic"), [&](QByteArray& bytes) {
        oversized = declareLength(bytes, QByteArray("/chapter2.htm"), CHMDocument::kMaxObjectSize + 1);
    });
    ASSERT_FALSE(oversized.isEmpty());
    CHMDocument doc;
    if (!open(doc, path)) {
        expectUnopened(doc);
        return;
    }
    ASSERT_TRUE(doc.exist(oversized));
    EXPECT_TRUE(doc.content(oversized).isNull());
    EXPECT_FALSE(doc.content(QStringLiteral("/intro.htm")).isEmpty());
}

} // namespace
