#include "chm/CHMTableOfContent.h"

#include "SitemapText.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace SitemapText;

CHMTableOfContent tocOf(const QStringList& paths)
{
    QByteArray body = "<UL>";
    for (const QString& path : paths)
        body += entry(QStringLiteral("entry"), path);
    return CHMTableOfContent(document(body + "</UL>"), QStringLiteral("UTF-8"));
}

LinkItemList entriesOf(const CHMTableOfContent& toc)
{
    return toc.rootItems()->children();
}

TEST(PageList, ListsAPageAgainOnlyWhenOtherPagesCameBetween)
{
    const CHMTableOfContent toc = tocOf({"a.htm", "a.htm#s2", "b.htm", "a.htm"});
    EXPECT_EQ(pathsOf(toc.pageList()), (QStringList{"a.htm", "b.htm", "a.htm"}));
    EXPECT_EQ(pageIDsOf(entriesOf(toc)), (QList<quint64>{0, 0, 1, 2}));
    // Every listed node's ID indexes its own entry.
    for (qsizetype i = 0; i < toc.pageList().size(); ++i)
        EXPECT_EQ(toc.pageList().at(i)->pageID(), static_cast<quint64>(i));
}

TEST(PageList, MergesTheWaysOfWritingOnePage)
{
    // Fragment, query, leading slashes, escapes, dot segments and case all name the same object.
    const CHMTableOfContent toc = tocOf({"dir/a b.htm", "dir/a%20b.htm#x", "/dir/A B.HTM", "//dir/a b.htm?q=1",
                                         "dir/sub/../a b.htm", "./dir/a b.htm"});
    EXPECT_EQ(pathsOf(toc.pageList()), QStringList{"dir/a b.htm"});
    EXPECT_EQ(pageIDsOf(entriesOf(toc)), (QList<quint64>{0, 0, 0, 0, 0, 0}));
}

TEST(PageList, KeepsDifferentPagesApart)
{
    const CHMTableOfContent toc = tocOf({"a.htm", "a.html", "a.htm.bak", "b/a.htm", "a%2520.htm", "a%20.htm"});
    EXPECT_EQ(pathsOf(toc.pageList()), (QStringList{"a.htm", "a.html", "a.htm.bak", "b/a.htm", "a%2520.htm", "a%20.htm"}));
}

TEST(PageList, LeavesEntriesWithoutAPathOut)
{
    const CHMTableOfContent toc = tocOf({"a.htm", QString(), QString(""), "b.htm"});
    EXPECT_EQ(pathsOf(toc.pageList()), (QStringList{"a.htm", "b.htm"}));
    EXPECT_EQ(pageIDsOf(entriesOf(toc)), (QList<quint64>{0, 0, 0, 1}));
}

TEST(PageList, FollowsTheTreeInPreOrder)
{
    const CHMTableOfContent toc(document("<UL>" + entry("1", "1.htm") + "<UL>" + entry("1.1", "11.htm") + "<UL>"
                                         + entry("1.1.1", "111.htm") + "</UL>" + entry("1.2", "12.htm") + "</UL>"
                                         + entry("2", "2.htm") + "</UL>"),
                                QStringLiteral("UTF-8"));
    EXPECT_EQ(pathsOf(toc.pageList()), (QStringList{"1.htm", "11.htm", "111.htm", "12.htm", "2.htm"}));
}

TEST(PageList, StepsForwardAndBackAndStopsAtTheEnds)
{
    const CHMTableOfContent toc = tocOf({"a.htm", "b.htm", "c.htm"});
    const LinkItemList& pages = toc.pageList();
    EXPECT_EQ(toc.getNextPage(pages[0].get()), pages[1]);
    EXPECT_EQ(toc.getPrevPage(pages[2].get()), pages[1]);
    EXPECT_FALSE(toc.getPrevPage(pages[0].get()));
    EXPECT_FALSE(toc.getNextPage(pages[2].get()));
    EXPECT_FALSE(toc.getPrevPage(nullptr));
    EXPECT_EQ(toc.getNextPage(nullptr), pages[1]);
    // A node from elsewhere whose ID lies past the list gives nothing either way.
    LinkItem stranger(QStringLiteral("x"), QStringLiteral("x.htm"));
    stranger.setPageID(10);
    EXPECT_FALSE(toc.getNextPage(&stranger));
    EXPECT_FALSE(toc.getPrevPage(&stranger));
}

TEST(PageList, OutlivesItsTree)
{
    LinkItemList pages;
    {
        const CHMTableOfContent toc = tocOf({"a.htm", "b.htm"});
        pages = toc.pageList();
    }
    EXPECT_EQ(pathsOf(pages), (QStringList{"a.htm", "b.htm"}));
}

} // namespace
