#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "SitemapText.h"

#include "support/FixtureFiles.h"
#include "support/TestSupport.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

using SitemapText::childAt;
using SitemapText::namesOf;
using SitemapText::pathsOf;

std::unique_ptr<CHMDocument> openDocument(const QString& path)
{
    auto doc = std::make_unique<CHMDocument>();
    EXPECT_TRUE(doc->readFromURL(QUrl::fromLocalFile(path), QStringLiteral("CHM"))) << path.toStdString();
    return doc;
}

std::unique_ptr<CHMDocument> openFixture(const QString& name)
{
    return openDocument(TestSupport::fixturePath(name));
}

// The locale record that chmcmd writes for "Language=0x409": code 4, length 36, the LCID first.
const QByteArray kEnglishLocaleRecord = QByteArray("\x04\x00\x24\x00\x09\x04\x00\x00", 8);

QByteArray localeRecord(quint16 lcid)
{
    QByteArray record = kEnglishLocaleRecord;
    record[4] = static_cast<char>(lcid & 0xFF);
    record[5] = static_cast<char>(lcid >> 8);
    return record;
}

TEST(CHMDocumentEncoding, ReadsCyrillicMetadataAndContentsInTheFilesCodePage)
{
    const auto doc = openFixture(QStringLiteral("chm-cyrillic"));
    EXPECT_EQ(doc->encodingName(), QStringLiteral("CP1251"));
    // The window title is CP1251, not UTF-8, so it gives way to the title record read after the
    // locale record.
    EXPECT_EQ(doc->docTitle(), QStringLiteral("Справка по программе"));
    EXPECT_EQ(doc->homePath(), QStringLiteral("home.htm"));
    ASSERT_NE(doc->tocSource(), nullptr);
    // The sitemap's own <meta> claims UTF-8; the file's locale decides.
    const LinkItemPtr& root = doc->tocSource()->rootItems();
    EXPECT_EQ(namesOf(root->children()), (QStringList{"Глава первая", "Вторая"}));
    EXPECT_EQ(namesOf(childAt(root, 0)->children()), QStringList{"Жж"});
    EXPECT_EQ(pathsOf(doc->tocSource()->pageList()), (QStringList{"глава.htm", "жж.htm", "second.htm"}));
    EXPECT_EQ(doc->content(QStringLiteral("глава.htm")),
              FixtureFiles::readAll(TestSupport::sourceDataPath(QStringLiteral("chm-cyrillic/глава.htm"))));
    EXPECT_EQ(doc->indexSource(), nullptr);
}

TEST(CHMDocumentEncoding, FindsObjectsListedByTheirCodePageBytes)
{
    // A compiler working in the file's code page lists names in it: stand in for one by renaming
    // "/жж.htm" (UTF-8) in the directory to "/абвг.htm" written in CP1251.
    QTemporaryDir folder;
    const QString path = FixtureFiles::patchedFixture(folder, QStringLiteral("chm-cyrillic"), [](QByteArray& bytes) {
        FixtureFiles::replaceOnce(bytes, QStringLiteral("/жж.htm").toUtf8(), QByteArray("/\xE0\xE1\xE2\xE3.htm"));
    });
    const auto doc = openDocument(path);
    const QByteArray page = FixtureFiles::readAll(TestSupport::sourceDataPath(QStringLiteral("chm-cyrillic/жж.htm")));
    EXPECT_EQ(doc->content(QStringLiteral("абвг.htm")), page);
    EXPECT_TRUE(doc->exist(QStringLiteral("/абвг.htm")));
    EXPECT_TRUE(doc->content(QStringLiteral("жж.htm")).isNull());
    // A user's choice of encoding for the pages does not change how names are written.
    doc->setEncodingName(QStringLiteral("CP932"));
    EXPECT_EQ(doc->currentEncodingName(), QStringLiteral("CP932"));
    EXPECT_EQ(doc->content(QStringLiteral("абвг.htm")), page);
}

TEST(CHMDocumentEncoding, ReadsJapaneseMetadataAndKeepsTheTreeAfterABadByte)
{
    const auto doc = openFixture(QStringLiteral("chm-japanese"));
    EXPECT_EQ(doc->encodingName(), QStringLiteral("CP932"));
    // "①" exists only in the Windows variant of Shift-JIS.
    EXPECT_EQ(doc->docTitle(), QStringLiteral("ヘルプ ①"));
    // No window definitions and no home record: the first home candidate that exists.
    EXPECT_EQ(doc->homePath(), QStringLiteral("/index.htm"));
    ASSERT_NE(doc->tocSource(), nullptr);
    const LinkItemList& entries = doc->tocSource()->rootItems()->children();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0]->name(), QStringLiteral("第一章 ①"));
    // The lead byte without a valid trail byte is replaced; the byte after it is read afresh.
    EXPECT_EQ(entries[1]->name(), QStringLiteral("壊れ\uFFFD\u007Fた"));
    EXPECT_EQ(entries[2]->name(), QStringLiteral("第三章"));
    EXPECT_EQ(pathsOf(doc->tocSource()->pageList()), (QStringList{"one.htm", "two.htm", "three.htm"}));
    ASSERT_NE(doc->indexSource(), nullptr);
    EXPECT_EQ(namesOf(doc->indexSource()->rootItems()->children()), QStringList{"索引"});
}

TEST(CHMDocumentEncoding, AnUnlistedLocaleLeavesTheEncodingUnknown)
{
    QTemporaryDir folder;
    const QString path = FixtureFiles::patchedFixture(folder, QStringLiteral("chm-basic"), [](QByteArray& bytes) {
        FixtureFiles::replaceOnce(bytes, kEnglishLocaleRecord, localeRecord(1034));
    });
    const auto doc = openDocument(path);
    EXPECT_TRUE(doc->encodingName().isNull());
    EXPECT_EQ(doc->docTitle(), QStringLiteral("Basic Window Title"));
    // Contents without a known code page are read as ISO-8859-1, where "é" is the same byte.
    ASSERT_NE(doc->tocSource(), nullptr);
    EXPECT_EQ(childAt(childAt(doc->tocSource()->rootItems(), 3), 0)->name(), QStringLiteral("Café"));
}

TEST(CHMDocumentEncoding, TheLocaleDecidesHowTheContentsAreRead)
{
    QTemporaryDir folder;
    const QString path = FixtureFiles::patchedFixture(folder, QStringLiteral("chm-basic"), [](QByteArray& bytes) {
        FixtureFiles::replaceOnce(bytes, kEnglishLocaleRecord, localeRecord(0x419));
    });
    const auto doc = openDocument(path);
    EXPECT_EQ(doc->encodingName(), QStringLiteral("CP1251"));
    ASSERT_NE(doc->tocSource(), nullptr);
    EXPECT_EQ(childAt(childAt(doc->tocSource()->rootItems(), 3), 0)->name(), QStringLiteral("Cafй"));
}

TEST(CHMDocumentEncoding, TreesKeepTheEncodingTheyWereBuiltWith)
{
    const auto doc = openFixture(QStringLiteral("chm-basic"));
    doc->setEncodingName(QStringLiteral("CP1251"));
    EXPECT_EQ(doc->currentEncodingName(), QStringLiteral("CP1251"));
    ASSERT_NE(doc->tocSource(), nullptr);
    EXPECT_EQ(childAt(childAt(doc->tocSource()->rootItems(), 3), 0)->name(), QStringLiteral("Café"));
    doc->setupTOCSource();
    EXPECT_EQ(childAt(childAt(doc->tocSource()->rootItems(), 3), 0)->name(), QStringLiteral("Cafй"));
}

} // namespace
