#include "chm/CHMTableOfContent.h"
#include "chm/search/CHMSearchResult.h"
#include "chm/search/ScoredLinkItem.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

const QByteArray kContents = R"(<ul>
 <li><object type="text/sitemap"><param name="Name" value="Top"><param name="Local" value="b.htm#top"></object>
 <li><object type="text/sitemap"><param name="Name" value="Other"><param name="Local" value="other.htm"></object>
</ul>)";
const QByteArray kIndex = R"(<ul>
 <li><object type="text/sitemap"><param name="Keyword" value="keyword only"><param name="Local" value="k.htm"></object>
 <li><object type="text/sitemap"><param name="Keyword" value="Other keyword"><param name="Local" value="other.htm"></object>
</ul>)";

QStringList namesOf(const CHMTableOfContent& tree)
{
    QStringList names;
    for (const LinkItemPtr& item : tree.rootItems()->children())
        names.append(item->name());
    return names;
}

// The score of the hit at the index; -1 (with a test failure) when there is no such hit.
float scoreAt(const CHMTableOfContent& tree, int index)
{
    const LinkItemPtr hit = tree.rootItems() ? tree.rootItems()->childAtIndex(index) : nullptr;
    if (!hit) {
        ADD_FAILURE() << "no hit at index " << index;
        return -1.0F;
    }
    return static_cast<const ScoredLinkItem&>(*hit).relScore();
}

class SearchResultTest : public testing::Test {
protected:
    CHMTableOfContent m_contents{kContents, QStringLiteral("UTF-8")};
    CHMTableOfContent m_index{kIndex, QStringLiteral("UTF-8")};
};

TEST_F(SearchResultTest, HitsAreListedMostRelevantFirst)
{
    CHMSearchResult result(&m_contents, &m_index);
    result.addPath(QStringLiteral("other.htm"), 0.2F);
    result.addPath(QStringLiteral("/b.htm"), 0.9F);
    result.addPath(QStringLiteral("k.htm"), 0.5F);
    result.sort();
    ASSERT_EQ(result.rootChildrenCount(), 3);
    EXPECT_FLOAT_EQ(scoreAt(result, 0), 0.9F);
    EXPECT_FLOAT_EQ(scoreAt(result, 1), 0.5F);
    EXPECT_FLOAT_EQ(scoreAt(result, 2), 0.2F);
    EXPECT_TRUE(result.pageList().isEmpty());
}

TEST_F(SearchResultTest, HitTakesTheNameAndPathOfTheContentsNodeItLeadsTo)
{
    CHMSearchResult result(&m_contents, &m_index);
    result.addPath(QStringLiteral("/b.htm"), 0.7F);
    ASSERT_EQ(result.rootChildrenCount(), 1);
    const LinkItemPtr hit = result.rootItems()->childAtIndex(0);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->name(), QStringLiteral("Top"));
    EXPECT_EQ(hit->path(), QStringLiteral("b.htm#top"));
}

TEST_F(SearchResultTest, ContentsTreeWinsOverIndexAndUnknownPagesAreDropped)
{
    CHMSearchResult result(&m_contents, &m_index);
    result.addPath(QStringLiteral("other.htm"), 0.5F);
    result.addPath(QStringLiteral("k.htm"), 0.5F);
    result.addPath(QStringLiteral("nowhere.htm"), 1.0F);
    result.addPath(QStringLiteral("other.htm"), 0.4F); // hits are not merged
    EXPECT_EQ(namesOf(result), (QStringList{"Other", "keyword only", "Other"}));
}

TEST_F(SearchResultTest, WithoutTreesEveryHitIsDropped)
{
    CHMSearchResult result;
    result.addPath(QStringLiteral("other.htm"), 0.5F);
    EXPECT_EQ(result.rootChildrenCount(), 0);
    EXPECT_EQ(result.rootItems()->path(), QStringLiteral("/"));
}

TEST(ScoredLinkItemTest, SortKeepsTheOrderOfEqualScores)
{
    ScoredLinkItem parent(QStringLiteral("root"), QStringLiteral("/"), 0.0F);
    parent.appendScoredChild(std::make_shared<ScoredLinkItem>(QStringLiteral("low"), QStringLiteral("0.htm"), 0.1F));
    parent.appendScoredChild(std::make_shared<ScoredLinkItem>(QStringLiteral("first"), QStringLiteral("1.htm"), 0.3F));
    parent.appendScoredChild(std::make_shared<ScoredLinkItem>(QStringLiteral("second"), QStringLiteral("2.htm"), 0.3F));
    parent.appendScoredChild(std::make_shared<ScoredLinkItem>(QStringLiteral("best"), QStringLiteral("3.htm"), 0.8F));
    parent.sort();
    QStringList names;
    for (const LinkItemPtr& item : parent.children())
        names.append(item->name());
    EXPECT_EQ(names, (QStringList{"best", "first", "second", "low"}));
}

} // namespace
