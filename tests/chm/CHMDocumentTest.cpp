#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "SitemapText.h"

#include "support/FixtureFiles.h"
#include "support/TestSupport.h"

#include <QStringList>
#include <QUrl>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using SitemapText::childAt;
using SitemapText::namesOf;
using SitemapText::pathsOf;

QByteArray sourceBytes(const QString& relative)
{
    return FixtureFiles::readAll(TestSupport::sourceDataPath(QStringLiteral("chm-basic/") + relative));
}

class BasicDocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(doc.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("chm-basic"))),
                                    QStringLiteral("CHM")));
    }

    LinkItemPtr tocItem(const QString& path) const { return doc.tocSource()->itemForPath(path); }

    CHMDocument doc;
};

TEST_F(BasicDocument, ReadsMetadataWithWindowDefinitionsWinningOverSystemRecords)
{
    EXPECT_EQ(doc.filePath(), TestSupport::fixturePath(QStringLiteral("chm-basic")));
    EXPECT_EQ(doc.docTitle(), QStringLiteral("Basic Window Title"));
    EXPECT_EQ(doc.homePath(), QStringLiteral("home.htm"));
    EXPECT_EQ(doc.tocPath(), QStringLiteral("toc.hhc"));
    EXPECT_EQ(doc.indexPath(), QStringLiteral("index.hhk"));
    EXPECT_EQ(doc.encodingName(), QStringLiteral("CP1252"));
    EXPECT_EQ(doc.currentEncodingName(), QStringLiteral("CP1252"));
    EXPECT_NE(doc.chmFileHandle(), nullptr);
}

TEST_F(BasicDocument, FindsAnObjectWhateverItsLeadingSlashesAndCase)
{
    const QByteArray home = sourceBytes(QStringLiteral("home.htm"));
    ASSERT_FALSE(home.isEmpty());
    for (const char* path : {"home.htm", "/home.htm", "//home.htm", "///home.htm", "/HOME.HTM"})
        EXPECT_EQ(doc.content(QString::fromLatin1(path)), home) << path;
    EXPECT_TRUE(doc.exist(QStringLiteral("/home.htm")));
    EXPECT_TRUE(doc.exist(QStringLiteral("//ch1/section1.htm")));
}

TEST_F(BasicDocument, LooksUpPathsWithFragmentsOrEscapesUnchanged)
{
    EXPECT_TRUE(doc.content(QStringLiteral("home.htm#top")).isNull());
    EXPECT_TRUE(doc.content(QStringLiteral("a%20b.htm")).isNull());
    EXPECT_EQ(doc.content(QStringLiteral("a b.htm")), sourceBytes(QStringLiteral("a b.htm")));
    EXPECT_EQ(doc.content(QStringLiteral("café.htm")), sourceBytes(QStringLiteral("café.htm")));
    EXPECT_EQ(doc.content(QStringLiteral("sub/Extra2.HTML")), sourceBytes(QStringLiteral("sub/Extra2.HTML")));
}

TEST_F(BasicDocument, GivesNothingForMissingEmptyOrMalformedPaths)
{
    EXPECT_TRUE(doc.content(QString()).isNull());
    EXPECT_TRUE(doc.content(QStringLiteral("missing.htm")).isNull());
    EXPECT_FALSE(doc.exist(QStringLiteral("/missing.htm")));
    // An empty object exists but reads as nothing.
    EXPECT_TRUE(doc.exist(QStringLiteral("/empty.htm")));
    EXPECT_TRUE(doc.content(QStringLiteral("/empty.htm")).isNull());
    // A NUL must not cut the path short and find another object.
    EXPECT_TRUE(doc.content(QStringLiteral("home.htm") + QChar(u'\0') + QStringLiteral("x")).isNull());
    EXPECT_TRUE(doc.content(QString(600, u'a')).isNull());
}

TEST_F(BasicDocument, FallsBackToIndexHtmlWhenNoHomeCandidateExists)
{
    EXPECT_EQ(doc.findHomeForPath(QStringLiteral("/")), QStringLiteral("/index.html"));
    EXPECT_EQ(doc.findHomeForPath(QStringLiteral("/sub")), QStringLiteral("/sub/index.html"));
    EXPECT_EQ(doc.findHomeForPath(QStringLiteral("/sub/")), QStringLiteral("/sub/index.html"));
}

TEST_F(BasicDocument, BuildsTheContentsTreeWithoutBareEntries)
{
    const CHMTableOfContent* toc = doc.tocSource();
    ASSERT_NE(toc, nullptr);
    const LinkItemPtr& root = toc->rootItems();
    EXPECT_EQ(root->name(), QStringLiteral("root"));
    EXPECT_EQ(root->path(), QStringLiteral("/"));
    EXPECT_EQ(namesOf(root->children()),
              (QStringList{"Introduction", "Chapter 1", "Chapter 2", "Appendix"}));
    EXPECT_EQ(namesOf(childAt(root, 1)->children()),
              (QStringList{"Section 1.1", "Section 1.1, part two", "Section 1.2"}));
    // Upper-case PARAM/NAME/VALUE read as their lower-case forms.
    EXPECT_EQ(childAt(root, 2)->path(), QStringLiteral("chapter2.htm"));
    const LinkItemPtr appendix = childAt(root, 3);
    EXPECT_TRUE(appendix->path().isNull());
    // The contents are CP1252, as the file's locale says.
    EXPECT_EQ(namesOf(appendix->children()), (QStringList{"Café", "A B", "Introduction again"}));
}

TEST_F(BasicDocument, ListsEachPageOnceUnlessItComesBackLater)
{
    const CHMTableOfContent* toc = doc.tocSource();
    EXPECT_EQ(pathsOf(toc->pageList()),
              (QStringList{"intro.htm", "chapter1.htm", "ch1/section1.htm", "/ch1/section2.htm", "chapter2.htm",
                           "café.htm", "a b.htm", "intro.htm"}));
    EXPECT_EQ(tocItem(QStringLiteral("ch1/section1.htm#part2"))->pageID(), 2u);
    EXPECT_EQ(tocItem(QStringLiteral("/ch1/section2.htm"))->pageID(), 3u);
    EXPECT_EQ(childAt(toc->rootItems(), 3)->pageID(), 0u); // no path, no page
    EXPECT_EQ(childAt(childAt(toc->rootItems(), 3), 2)->pageID(), 7u);
}

TEST_F(BasicDocument, ServesEveryListedPage)
{
    for (const LinkItemPtr& page : doc.tocSource()->pageList())
        EXPECT_FALSE(doc.content(page->path()).isEmpty()) << page->path().toStdString();
}

TEST_F(BasicDocument, FindsContentsNodesByPage)
{
    LinkItemList stack;
    const LinkItemPtr section = doc.tocSource()->itemForPath(QStringLiteral("/ch1/section1.htm"), &stack);
    ASSERT_TRUE(section);
    EXPECT_EQ(section->name(), QStringLiteral("Section 1.1"));
    EXPECT_EQ(namesOf(stack), (QStringList{"Chapter 1", "root"}));

    EXPECT_EQ(tocItem(QStringLiteral("ch1/section1.htm#part2"))->name(), QStringLiteral("Section 1.1, part two"));
    EXPECT_EQ(tocItem(QStringLiteral("ch1/section2.htm"))->name(), QStringLiteral("Section 1.2"));
    EXPECT_EQ(tocItem(QStringLiteral("CHAPTER2.HTM"))->name(), QStringLiteral("Chapter 2"));
    EXPECT_EQ(tocItem(QStringLiteral("a b.htm"))->name(), QStringLiteral("A B"));
    EXPECT_FALSE(tocItem(QStringLiteral("chapter")));
    EXPECT_FALSE(tocItem(QStringLiteral("extra.htm")));
}

TEST_F(BasicDocument, StepsThroughPagesInContentsOrder)
{
    const CHMTableOfContent* toc = doc.tocSource();
    ASSERT_NE(toc, nullptr);
    const LinkItemList& pages = toc->pageList();
    ASSERT_GE(pages.size(), 2);
    EXPECT_EQ(toc->getNextPage(pages.first().get()), pages.at(1));
    EXPECT_EQ(toc->getPrevPage(pages.at(1).get()), pages.first());
    EXPECT_FALSE(toc->getPrevPage(pages.first().get()));
    EXPECT_FALSE(toc->getNextPage(pages.last().get()));
    EXPECT_EQ(toc->getNextPage(nullptr), pages.at(1));
}

TEST_F(BasicDocument, SortsTheIndexAndKeepsTheFirstKeywordAndLastLocal)
{
    const CHMTableOfContent* index = doc.indexSource();
    ASSERT_NE(index, nullptr);
    const LinkItemPtr& root = index->rootItems();
    EXPECT_EQ(namesOf(root->children()), (QStringList{"alpha", "Beta", "Zeta"}));
    EXPECT_EQ(childAt(root, 1)->path(), QStringLiteral("chapter1.htm"));
    EXPECT_EQ(namesOf(childAt(root, 0)->children()), QStringList{"alpha detail"});
    // The page list keeps the sitemap's order; sorting reorders only the tree.
    EXPECT_EQ(pathsOf(index->pageList()),
              (QStringList{"chapter2.htm", "intro.htm", "ch1/section1.htm#part2", "chapter1.htm"}));
}

TEST_F(BasicDocument, ComposesUrlsThatGiveThePathBack)
{
    EXPECT_EQ(doc.composeURL(QStringLiteral("intro.htm")).toString(), QStringLiteral("itss://chm/intro.htm"));
    EXPECT_EQ(doc.composeURL(QStringLiteral("/intro.htm")).toString(), QStringLiteral("itss://chm//intro.htm"));
    EXPECT_EQ(doc.composeURL(QStringLiteral("a b.htm")).toString(QUrl::FullyEncoded),
              QStringLiteral("itss://chm/a%20b.htm"));
    for (const char* path : {"intro.htm", "/intro.htm", "a b.htm", "ch1/section1.htm#part2", "café.htm", "100%.htm"}) {
        const QString text = QString::fromUtf8(path);
        const QUrl url = doc.composeURL(text);
        ASSERT_TRUE(url.isValid()) << path;
        EXPECT_EQ(doc.extractPathFromURL(url), text) << path;
    }
}

TEST_F(BasicDocument, ExtractsPathsFromUrlsAsWritten)
{
    EXPECT_EQ(doc.extractPathFromURL(QUrl(QStringLiteral("itss://chm/dir/page.htm#sec"))),
              QStringLiteral("dir/page.htm#sec"));
    EXPECT_EQ(doc.extractPathFromURL(QUrl(QStringLiteral("itss://chm/a%2520b.htm"))), QStringLiteral("a%20b.htm"));
    // Escapes that make no UTF-8 give nothing rather than a wrong path.
    EXPECT_TRUE(doc.extractPathFromURL(QUrl(QStringLiteral("itss://chm/%FF.htm"))).isNull());
}

TEST_F(BasicDocument, SerialisesReadsFromSeveralThreads)
{
    const QByteArray intro = sourceBytes(QStringLiteral("intro.htm"));
    const QByteArray chapter = sourceBytes(QStringLiteral("chapter2.htm"));
    std::vector<std::thread> readers;
    std::atomic<int> mismatches{0};
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                const bool even = (i + t) % 2 == 0;
                const QByteArray bytes = doc.content(even ? QStringLiteral("intro.htm") : QStringLiteral("chapter2.htm"));
                if (bytes != (even ? intro : chapter))
                    ++mismatches;
            }
        });
    }
    for (std::thread& reader : readers)
        reader.join();
    EXPECT_EQ(mismatches.load(), 0);
    // The lock is recursive: a holder may still read.
    const std::lock_guard guard(doc.lock());
    EXPECT_EQ(doc.content(QStringLiteral("intro.htm")), intro);
}

} // namespace
