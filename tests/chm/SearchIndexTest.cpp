#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "chm/search/CHMSearchIndex.h"
#include "chm/search/SidebarSearch.h"
#include "chm/search/VisibleText.h"
#include "support/TestSupport.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

QStringList namesOf(const CHMTableOfContent* tree)
{
    QStringList names;
    if (tree != nullptr) {
        for (const LinkItemPtr& item : tree->rootItems()->children())
            names.append(item->name());
    }
    return names;
}

TEST(SearchIndexNames, OnlyFilesOfTheContentAreIndexed)
{
    EXPECT_TRUE(CHMSearchIndex::isIndexableObjectName("/a.htm"));
    EXPECT_TRUE(CHMSearchIndex::isIndexableObjectName("/img/x.gif"));
    EXPECT_FALSE(CHMSearchIndex::isIndexableObjectName("/dir/"));
    EXPECT_FALSE(CHMSearchIndex::isIndexableObjectName("/"));
    EXPECT_FALSE(CHMSearchIndex::isIndexableObjectName("/dir/../secret.htm"));
    EXPECT_FALSE(CHMSearchIndex::isIndexableObjectName("::DataSpace/NameList"));
    EXPECT_FALSE(CHMSearchIndex::isIndexableObjectName("/#SYSTEM"));
    EXPECT_FALSE(CHMSearchIndex::isIndexableObjectName("/$FIftiMain"));
}

TEST(SearchIndexText, FallsBackToUtf8ThenLatin1)
{
    const QByteArray utf8 = QStringLiteral("caf\u00e9").toUtf8();
    EXPECT_EQ(CHMSearchIndex::objectText(utf8, QStringLiteral("windows-1252")), QStringLiteral("caf\u00c3\u00a9"));
    EXPECT_EQ(CHMSearchIndex::objectText(utf8, QStringLiteral("no-such-charset")), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(CHMSearchIndex::objectText("caf\xe9", QString()), QStringLiteral("caf\u00e9"));
    EXPECT_TRUE(CHMSearchIndex::objectText(QByteArray(), QStringLiteral("no-such-charset")).isEmpty());
}

TEST(TextIndexTest, ReplacesTheTextOfAUrlAndSurvivesBadQueries)
{
    TextIndex index;
    const QUrl url(QStringLiteral("itss://chm/a.htm"));
    index.addDocument(url, QStringLiteral("apple"));
    index.addDocument(url, QStringLiteral("banana"));
    EXPECT_EQ(index.documentCount(), 1);
    EXPECT_TRUE(index.search(QStringLiteral("apple")).isEmpty());
    ASSERT_EQ(index.search(QStringLiteral("banana")).size(), 1);
    EXPECT_EQ(index.search(QStringLiteral("banana")).first().url, url);
    EXPECT_TRUE(index.search(QStringLiteral("\"unclosed AND (")).size() <= 1);
}

TEST(TextIndexTest, FetchesEveryMatchPastTheFirstBatch)
{
    TextIndex index;
    for (int i = 0; i < 25; ++i)
        index.addDocument(QUrl(QStringLiteral("itss://chm/p%1.htm").arg(i)), QStringLiteral("common word %1").arg(i));
    const QString longPath = QStringLiteral("itss://chm/") + QString(300, u'x') + QStringLiteral(".htm");
    index.addDocument(QUrl(longPath), QStringLiteral("common"));
    index.addDocument(QUrl(longPath), QStringLiteral("common again"));
    EXPECT_EQ(index.search(QStringLiteral("common")).size(), 26);
    EXPECT_TRUE(index.containsDocument(QUrl(longPath)));
}

class ReaderFixtureSearch : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("chm-reader"))),
                                           QStringLiteral("CHM")));
        m_document.prepareSearchIndex();
    }
    CHMDocument m_document;
};

TEST_F(ReaderFixtureSearch, IndexesEveryFileObjectAndNoFolder)
{
    ASSERT_NE(m_document.searchIndex(), nullptr);
    m_document.searchIndex()->waitUntilDone();
    EXPECT_TRUE(m_document.searchIndex()->isIndexDone());
    const TextIndex& index = m_document.searchIndex()->textIndex();
    for (const char* path : {"a.htm", "b.htm", "orphan.htm", "img/x.gif", "toc.hhc"})
        EXPECT_TRUE(index.containsDocument(m_document.composeURL(QString::fromLatin1(path)))) << path;
    EXPECT_FALSE(index.containsDocument(m_document.composeURL(QStringLiteral("img/"))));
    EXPECT_FALSE(index.containsDocument(m_document.composeURL(QStringLiteral("#SYSTEM"))));
}

TEST_F(ReaderFixtureSearch, FullTextHitsAreRankedAndNamedAfterTheirTopics)
{
    const auto result = SidebarSearch::searchInFile(m_document, QStringLiteral("zebra"));
    // b.htm says it most often; orphan.htm is in no tree and is dropped.
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(namesOf(result.get()), (QStringList{"B topic", "A topic"}));
    ASSERT_GE(result->rootChildrenCount(), 1);
    EXPECT_EQ(result->rootItems()->childAtIndex(0)->path(), QStringLiteral("b.htm#top"));
    // A page listed only in the index is found there.
    EXPECT_EQ(namesOf(SidebarSearch::searchInFile(m_document, QStringLiteral("lonely")).get()),
              QStringList{"Index only"});
    EXPECT_TRUE(namesOf(SidebarSearch::searchInFile(m_document, QStringLiteral("unlisted")).get()).isEmpty());
}

TEST_F(ReaderFixtureSearch, EmptyTextShowsNothing)
{
    EXPECT_EQ(SidebarSearch::searchInFile(m_document, QString()), nullptr);
    EXPECT_EQ(SidebarSearch::searchInIndex(m_document, QString()), nullptr);
}

TEST_F(ReaderFixtureSearch, IndexSearchMatchesTopLevelKeywordPrefixesInAnyCase)
{
    EXPECT_EQ(namesOf(SidebarSearch::searchInIndex(m_document, QStringLiteral("aLPh")).get()),
              (QStringList{"Alpha", "alphabet"}));
    EXPECT_EQ(namesOf(SidebarSearch::searchInIndex(m_document, QStringLiteral("beta")).get()), QStringList{"Beta"});
    EXPECT_TRUE(namesOf(SidebarSearch::searchInIndex(m_document, QStringLiteral("under")).get()).isEmpty());
}

TEST(SearchIndexText, HoldsThePagesVisibleTextOnly)
{
    EXPECT_EQ(VisibleText::fromHtml(QStringLiteral(
                                        "<html><head><title>Tea</title><style>p { color: red }</style>"
                                        "<script type=\"text/javascript\">var hidden = '<p>';</script></head>"
                                        "<body><!-- note --><p class=\"a>b\">B<b>ee</b>r &amp; caf&eacute; &#x2026;</p>"
                                        "<td>a</td><td>b</td></body></html>"))
                  .simplified(),
              QStringLiteral("Tea Beer & caf\u00e9 \u2026 a b"));
    // A lone "&" or "<" is text.
    EXPECT_EQ(VisibleText::fromHtml(QStringLiteral("a & b < c &bogus; d")), QStringLiteral("a & b < c &bogus; d"));
}

// Every page's words as the engine shows them: its own declaration first, the code page for the
// others, and a chosen encoding for all.
TEST(SearchIndexEncodings, IndexesTheWordsThePagesShow)
{
    const auto hits = [](const CHMDocument& document, const QString& word) {
        QStringList paths;
        for (const TextIndex::Match& match : document.searchIndex()->textIndex().search(word))
            paths << document.extractPathFromURL(match.url);
        paths.sort();
        return paths;
    };
    CHMDocument document;
    ASSERT_TRUE(document.readFromURL(
        QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("export-page-encodings"))), QStringLiteral("CHM")));
    document.prepareSearchIndex();
    document.searchIndex()->waitUntilDone();
    EXPECT_EQ(hits(document, QStringLiteral("B\u00e9zier")),
              (QStringList{"bom.htm", "codepage.htm", "equiv.htm", "meta.htm"}));
    EXPECT_EQ(hits(document, QStringLiteral("stra\u00dfe")), QStringList{"equiv.htm"});
    EXPECT_TRUE(hits(document, QStringLiteral("charset")).isEmpty()); // markup is not text

    document.setEncodingName(QStringLiteral("CP1251"));
    document.prepareSearchIndex();
    document.searchIndex()->waitUntilDone();
    // The marked page keeps its mark's encoding; the others take the chosen one.
    EXPECT_EQ(hits(document, QStringLiteral("B\u00e9zier")), QStringList{"bom.htm"});
    EXPECT_EQ(hits(document, QStringLiteral("B\u0439zier")), QStringList{"codepage.htm"});
}

TEST(SearchWithoutTrees, DocumentWithoutContentsShowsNothing)
{
    CHMDocument document;
    EXPECT_EQ(SidebarSearch::searchInFile(document, QStringLiteral("zebra")), nullptr);
    EXPECT_EQ(SidebarSearch::searchInIndex(document, QStringLiteral("zebra")), nullptr);
}

TEST(SearchIndexLifetime, DocumentGoingAwayDuringTheBuildStopsIt)
{
    for (int i = 0; i < 5; ++i) {
        CHMDocument document;
        ASSERT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("chm-basic"))),
                                         QStringLiteral("CHM")));
        document.prepareSearchIndex();
        document.prepareSearchIndex(); // the first build is stopped and joined, not left running
    }
    CHMDocument document;
    ASSERT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("chm-basic"))),
                                     QStringLiteral("CHM")));
    document.prepareSearchIndex();
    // Reading another file drops the index of the first one.
    ASSERT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("chm-reader"))),
                                     QStringLiteral("CHM")));
    EXPECT_EQ(document.searchIndex(), nullptr);
}

} // namespace
