#include "chm/CHMTableOfContent.h"
#include "chm/SitemapTreeBuilder.h"

#include "SitemapText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using namespace SitemapText;

const QString kUtf8 = QStringLiteral("UTF-8");

CHMTableOfContent parse(const QByteArray& body)
{
    return CHMTableOfContent(document(body), kUtf8);
}

// The depth of the deepest node below the item (its children are at depth 1), walked without
// recursion so that an unbounded tree is measured rather than overflowing the stack.
int depthOf(const LinkItem& item)
{
    int deepest = 0;
    std::vector<std::pair<const LinkItem*, int>> pending{{&item, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, depth);
        for (int index = 0; index < node->numberOfChildren(); ++index)
            pending.emplace_back(node->childAtIndex(index).get(), depth + 1);
    }
    return deepest;
}

TEST(CHMTableOfContent, NestsEntriesOfInnerListsUnderTheEntryBeforeThem)
{
    // Both ways sitemaps nest: the inner list inside the "li", or after it.
    const CHMTableOfContent toc = parse("<UL>" + entry("One", "1.htm") + "<UL>" + entry("One.A", "1a.htm") + "</UL>"
                                        + "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Two\"></OBJECT>"
                                        + "<UL>" + entry("Two.A", "2a.htm") + entry("Two.B", "2b.htm") + "</UL></LI>"
                                        + entry("Three", "3.htm") + "</UL>");
    const LinkItemPtr& root = toc.rootItems();
    EXPECT_EQ(root->name(), QStringLiteral("root"));
    EXPECT_EQ(root->path(), QStringLiteral("/"));
    EXPECT_EQ(namesOf(root->children()), (QStringList{"One", "Two", "Three"}));
    EXPECT_EQ(namesOf(childAt(root, 0)->children()), QStringList{"One.A"});
    EXPECT_EQ(namesOf(childAt(root, 1)->children()), (QStringList{"Two.A", "Two.B"}));
    EXPECT_TRUE(childAt(root, 1)->path().isNull());
    EXPECT_EQ(toc.rootChildrenCount(), 3);
}

TEST(CHMTableOfContent, TakesTheFirstNameOrKeywordAndTheLastLocal)
{
    const CHMTableOfContent toc = parse(
        "<UL><LI><OBJECT type=\"text/sitemap\">"
        "<param name=\"Keyword\" value=\"keyword\"><param name=\"Name\" value=\"name\">"
        "<param name=\"Local\" value=\"first.htm\"><param name=\"Local\" value=\"second.htm\">"
        "<param name=\"ImageNumber\" value=\"11\"><param name=\"Local\"><param value=\"x.htm\">"
        "</OBJECT></UL>");
    const LinkItemPtr item = childAt(toc.rootItems(), 0);
    EXPECT_EQ(item->name(), QStringLiteral("keyword"));
    EXPECT_EQ(item->path(), QStringLiteral("second.htm"));
}

TEST(CHMTableOfContent, ReadsUpperCaseElementsAndAttributesAsLowerCase)
{
    const CHMTableOfContent toc = parse(
        "<UL><LI><OBJECT TYPE=\"text/sitemap\"><PARAM NAME=\"NAME\" VALUE=\"Upper\">"
        "<PARAM NAME=\"LOCAL\" VALUE=\"upper.htm\"></OBJECT></UL>");
    EXPECT_EQ(pathsOf(toc.pageList()), QStringList{"upper.htm"});
    EXPECT_EQ(childAt(toc.rootItems(), 0)->name(), QStringLiteral("Upper"));
}

TEST(CHMTableOfContent, KeepsEntriesOutsideAnyListAndSurvivesStrayListEnds)
{
    const CHMTableOfContent loose = parse(entry("Loose", "loose.htm"));
    EXPECT_EQ(namesOf(loose.rootItems()->children()), QStringList{"Loose"});

    // A list end with no list open: the parameters after it have no entry to go to, the root
    // keeps its own name and path, and later entries still land in the tree.
    const CHMTableOfContent stray = parse("</UL></UL><OBJECT><param name=\"Local\" value=\"root.htm\">"
                                          "<param name=\"Name\" value=\"Root\"></OBJECT>"
                                          + entry("After", "after.htm") + "</UL>" + entry("Later", "later.htm"));
    EXPECT_EQ(stray.rootItems()->path(), QStringLiteral("/"));
    EXPECT_EQ(stray.rootItems()->name(), QStringLiteral("root"));
    EXPECT_EQ(namesOf(stray.rootItems()->children()), (QStringList{"After", "Later"}));
    EXPECT_EQ(pathsOf(stray.pageList()), (QStringList{"after.htm", "later.htm"}));
}

TEST(CHMTableOfContent, PurgesEntriesWithNothingInThem)
{
    const CHMTableOfContent toc = parse("<UL>" + entry(QString()) + entry("Kept") + "<UL>" + entry(QString())
                                        + "</UL><LI><OBJECT></OBJECT><UL>" + entry(QString()) + "</UL>"
                                        + entry(QString(), "nameless.htm") + "</UL>");
    const LinkItemPtr& root = toc.rootItems();
    // The nameless, pathless entry whose only child was bare stays, now without children.
    ASSERT_EQ(root->numberOfChildren(), 3);
    EXPECT_EQ(childAt(root, 0)->name(), QStringLiteral("Kept"));
    EXPECT_EQ(childAt(root, 0)->numberOfChildren(), 0);
    EXPECT_TRUE(childAt(root, 1)->name().isNull());
    EXPECT_EQ(childAt(root, 1)->numberOfChildren(), 0);
    EXPECT_EQ(childAt(root, 2)->path(), QStringLiteral("nameless.htm"));
}

TEST(CHMTableOfContent, GivesAnEmptyTreeForDataThatIsNoSitemap)
{
    for (const QByteArray& data : {QByteArray(), QByteArray(""), QByteArray("plain text, no markup"),
                                   QByteArray("\x00\xFF\xFE<\x01<<>>\"", 11), QByteArray("<UL><LI><OBJECT><param")}) {
        const CHMTableOfContent toc(data, kUtf8);
        EXPECT_EQ(toc.rootChildrenCount(), 0);
        EXPECT_TRUE(toc.pageList().isEmpty());
    }
}

TEST(CHMTableOfContent, DecodesTheSitemapInTheGivenCodePageWhateverItsMetaSays)
{
    const QByteArray cp1251 = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"><UL>"
                              "<LI><OBJECT><param name=\"Name\" value=\"\xC3\xEB\xE0\xE2\xE0\">"
                              "<param name=\"Local\" value=\"\xE3.htm\"></OBJECT></UL>";
    const CHMTableOfContent toc(cp1251, QStringLiteral("CP1251"));
    EXPECT_EQ(childAt(toc.rootItems(), 0)->name(), QStringLiteral("Глава"));
    EXPECT_EQ(childAt(toc.rootItems(), 0)->path(), QStringLiteral("г.htm"));
    // Without a name, or with one nobody knows, the bytes are ISO-8859-1.
    for (const QString& name : {QString(), QString(""), QStringLiteral("no-such-charset")}) {
        const CHMTableOfContent latin(cp1251, name);
        EXPECT_EQ(childAt(latin.rootItems(), 0)->name(), QStringLiteral("Ãëàâà"));
    }
}

TEST(CHMTableOfContent, ReadsUtf8AndDeclaredCharsetsBeforeTheCodePage)
{
    // Written by today's tools: UTF-8 without a word about it, in a file whose language says CP1252.
    const QByteArray undeclared = "<UL><LI><OBJECT><param name=\"Name\" value=\"functools \xE2\x80\x94 caf\xC3\xA9\">"
                                  "<param name=\"Local\" value=\"f.htm\"></OBJECT></UL>";
    EXPECT_EQ(childAt(CHMTableOfContent(undeclared, QStringLiteral("CP1252")).rootItems(), 0)->name(),
              QStringLiteral("functools \u2014 caf\u00e9"));
    // The same with a byte-order mark, which is no part of the first name.
    EXPECT_EQ(childAt(CHMTableOfContent("\xEF\xBB\xBF" + undeclared, QStringLiteral("CP1252")).rootItems(), 0)->name(),
              QStringLiteral("functools \u2014 caf\u00e9"));
    // A declared charset the bytes bear out comes first.
    const QByteArray declared = "<meta charset=\"koi8-r\"><UL><LI><OBJECT><param name=\"Name\" value=\"\xE7\xCC\xC1\xD7\xC1\">"
                                "<param name=\"Local\" value=\"g.htm\"></OBJECT></UL>";
    EXPECT_EQ(childAt(CHMTableOfContent(declared, QStringLiteral("CP1252")).rootItems(), 0)->name(), QStringLiteral("Глава"));
    // Code-page text that is no valid UTF-8 stays in the code page; plain ASCII is the same either way.
    const QByteArray latin = "<UL><LI><OBJECT><param name=\"Name\" value=\"Caf\xE9 \x96 \xBD\">"
                             "<param name=\"Local\" value=\"c.htm\"></OBJECT></UL>";
    EXPECT_EQ(childAt(CHMTableOfContent(latin, QStringLiteral("CP1252")).rootItems(), 0)->name(),
              QStringLiteral("Caf\u00e9 \u2013 \u00bd"));
}

TEST(CHMTableOfContent, KeepsTheEntriesAfterABadByteSequence)
{
    const QByteArray sjis = "<UL><LI><OBJECT><param name=\"Name\" value=\"\x82\xA0\">"
                            "<param name=\"Local\" value=\"a.htm\"></OBJECT>"
                            "<LI><OBJECT><param name=\"Name\" value=\"bad\x81\">"
                            "<param name=\"Local\" value=\"b.htm\"></OBJECT>"
                            "<LI><OBJECT><param name=\"Name\" value=\"\x82\xA2\">"
                            "<param name=\"Local\" value=\"c.htm\"></OBJECT></UL>";
    const CHMTableOfContent toc(sjis, QStringLiteral("CP932"));
    EXPECT_EQ(namesOf(toc.rootItems()->children()), (QStringList{"あ", "bad\uFFFD", "い"}));
    EXPECT_EQ(pathsOf(toc.pageList()), (QStringList{"a.htm", "b.htm", "c.htm"}));
}

TEST(CHMTableOfContent, FlattensNestingBeyondTheDepthLimit)
{
    QByteArray deep;
    const int levels = 20000;
    for (int i = 0; i < levels; ++i)
        deep += "<UL><LI><OBJECT><param name=\"Name\" value=\"n\"><param name=\"Local\" value=\"p.htm\"></OBJECT>";
    for (int i = 0; i < levels; ++i)
        deep += "</UL>";
    deep += entry("Last", "last.htm");
    const CHMTableOfContent toc(deep, kUtf8);
    ASSERT_NE(toc.rootItems(), nullptr);
    EXPECT_EQ(depthOf(*toc.rootItems()), static_cast<int>(SitemapTreeBuilder::kMaxDepth));
    ASSERT_GT(toc.rootChildrenCount(), 0);
    EXPECT_EQ(toc.rootItems()->childAtIndex(toc.rootChildrenCount() - 1)->name(), QStringLiteral("Last"));
    EXPECT_EQ(toc.pageList().size(), 2);
}

TEST(CHMTableOfContent, FindsNodesByPageAndRecordsTheirAncestors)
{
    const CHMTableOfContent toc = parse("<UL>" + entry("Top", "top.htm") + "<UL>" + entry("Mid", "mid.htm#part2")
                                        + "<UL>" + entry("Leaf", "a%20b.htm") + "</UL></UL>" + entry("Html", "a.html")
                                        + entry("Htm", "a.htm") + "</UL>");
    LinkItemList stack;
    const LinkItemPtr leaf = toc.itemForPath(QStringLiteral("/a b.htm"), &stack);
    ASSERT_TRUE(leaf);
    EXPECT_EQ(leaf->name(), QStringLiteral("Leaf"));
    EXPECT_EQ(namesOf(stack), (QStringList{"Mid", "Top", "root"}));

    EXPECT_EQ(toc.itemForPath(QStringLiteral("mid.htm"))->name(), QStringLiteral("Mid"));
    EXPECT_EQ(toc.itemForPath(QStringLiteral("a.htm"))->name(), QStringLiteral("Htm"));
    EXPECT_EQ(toc.itemForPath(QStringLiteral("A.HTML"))->name(), QStringLiteral("Html"));
    EXPECT_FALSE(toc.itemForPath(QStringLiteral("mid.htm#part")));
    EXPECT_FALSE(toc.itemForPath(QStringLiteral("to")));
    EXPECT_FALSE(toc.itemForPath(QString()));

    LinkItemList untouched;
    EXPECT_FALSE(toc.itemForPath(QStringLiteral("missing.htm"), &untouched));
    EXPECT_TRUE(untouched.isEmpty());
}

TEST(CHMTableOfContent, ServesTheTreeToAnOutline)
{
    const CHMTableOfContent toc = parse("<UL>" + entry("A", "a.htm") + "<UL>" + entry("A1", "a1.htm") + "</UL>"
                                        + entry("B", "b.htm") + "</UL>");
    EXPECT_EQ(toc.numberOfChildren(nullptr), 2);
    const LinkItemPtr first = toc.child(0, nullptr);
    EXPECT_TRUE(toc.isItemExpandable(first.get()));
    EXPECT_EQ(toc.objectValue(toc.child(0, first.get()).get()), QStringLiteral("A1"));
    EXPECT_FALSE(toc.isItemExpandable(toc.child(1, nullptr).get()));
    EXPECT_FALSE(toc.child(5, nullptr));
}

TEST(CHMTableOfContent, FiltersTopLevelEntriesWithoutCopyingThem)
{
    const CHMTableOfContent toc = parse("<UL>" + entry("Abc", "abc.htm") + "<UL>" + entry("zzz", "z.htm") + "</UL>"
                                        + entry("xab", "xab.htm") + entry("ABx", "abx.htm") + "</UL>");
    const auto beginsWithAb = [](const LinkItem& item) { return item.name().startsWith(u"ab", Qt::CaseInsensitive); };
    const CHMTableOfContent filtered(&toc, beginsWithAb);
    EXPECT_EQ(namesOf(filtered.rootItems()->children()), (QStringList{"Abc", "ABx"}));
    EXPECT_EQ(filtered.rootItems()->childAtIndex(0), toc.rootItems()->childAtIndex(0));
    EXPECT_EQ(namesOf(childAt(filtered.rootItems(), 0)->children()), QStringList{"zzz"});
    EXPECT_TRUE(filtered.pageList().isEmpty());

    const CHMTableOfContent none(nullptr, beginsWithAb);
    EXPECT_EQ(none.rootChildrenCount(), 0);
    EXPECT_EQ(none.rootItems()->path(), QStringLiteral("/"));
}

TEST(CHMTableOfContent, SortsOnlyTheTopLevel)
{
    CHMTableOfContent toc = parse("<UL>" + entry("b") + "<UL>" + entry("z") + entry("y") + "</UL>" + entry("A")
                                  + entry("C") + "</UL>");
    toc.sort();
    EXPECT_EQ(namesOf(toc.rootItems()->children()), (QStringList{"A", "b", "C"}));
    EXPECT_EQ(namesOf(childAt(toc.rootItems(), 1)->children()), (QStringList{"z", "y"}));
}

} // namespace
