#include "chm/LinkItem.h"
#include "chm/SitemapTreeBuilder.h"

#include "SitemapText.h"

#include <gtest/gtest.h>

namespace {

using namespace SitemapText;

LinkItemPtr item(const QString& name, const QString& path = QString())
{
    return std::make_shared<LinkItem>(name, path);
}

TEST(LinkItem, AppendsAndRemovesChildrenFromTheEnd)
{
    LinkItem parent;
    EXPECT_TRUE(parent.name().isNull());
    EXPECT_EQ(parent.pageID(), 0u);
    parent.removeChild(); // nothing to remove
    parent.appendChild(item(QStringLiteral("a")));
    parent.appendChild(item(QStringLiteral("b")));
    parent.removeChild();
    EXPECT_EQ(namesOf(parent.children()), QStringList{"a"});
    EXPECT_FALSE(parent.childAtIndex(1));
    EXPECT_FALSE(parent.childAtIndex(-1));
}

TEST(LinkItem, SortsChildrenByUpperCaseNameInCodeUnitOrder)
{
    LinkItem parent;
    for (const char* name : {"beta", "Alpha", "é", "zeta", "alpha"})
        parent.appendChild(item(QString::fromUtf8(name)));
    parent.appendChild(item(QString()));
    parent.sort();
    // Nameless first; equal keys keep their order; "É" sorts after "Z" (no locale rules).
    EXPECT_EQ(namesOf(parent.children()), (QStringList{QString(), "Alpha", "alpha", "beta", "zeta", "é"}));
    EXPECT_TRUE(parent.uppercaseName().isNull());
    EXPECT_EQ(item(QStringLiteral("straße"))->uppercaseName(), QStringLiteral("STRASSE"));
}

TEST(LinkItem, EnumeratesInPreOrderSkippingRoots)
{
    auto root = item(QStringLiteral("root"), QStringLiteral("/"));
    auto a = item(QStringLiteral("a"), QStringLiteral("a.htm"));
    a->appendChild(item(QStringLiteral("a1")));
    root->appendChild(a);
    root->appendChild(item(QStringLiteral("b"), QStringLiteral("b.htm")));
    QStringList visited;
    root->enumerateItems([&](const LinkItemPtr& node) { visited.append(node->name()); });
    EXPECT_EQ(visited, (QStringList{"a", "a1", "b"}));
}

TEST(LinkItem, FindsItselfEvenWhenNotHeldByASharedPointer)
{
    LinkItem page(QStringLiteral("page"), QStringLiteral("page.htm#top"));
    const LinkItemPtr found = page.find_by_path(QStringLiteral("page.htm"));
    ASSERT_TRUE(found);
    EXPECT_EQ(found.get(), &page);
    EXPECT_FALSE(page.find_by_path(QStringLiteral("page.html")));
}

TEST(LinkItem, DescribesItselfAndItsChildren)
{
    auto parent = item(QStringLiteral("Parent"));
    parent->appendChild(item(QStringLiteral("Child"), QStringLiteral("c.htm")));
    EXPECT_EQ(parent->description(),
              QStringLiteral("{\n\tname:Parent\n\tpath:(null)\n\tchildren:(\n{\n\tname:Child\n\tpath:c.htm\n\tchildren:()\n}\n)\n}"));
}

TEST(SitemapTreeBuilder, DropsParametersAfterAStrayListEndAndRecovers)
{
    auto root = item(QStringLiteral("root"), QStringLiteral("/"));
    SitemapTreeBuilder builder(root);
    builder.pop_item();
    EXPECT_FALSE(builder.curItem());
    builder.setParameter(QStringLiteral("Local"), QStringLiteral("lost.htm"));
    builder.push_item();
    builder.new_item();
    builder.setParameter(QStringLiteral("name"), QStringLiteral("Found"));
    builder.setParameter(QStringLiteral("KEYWORD"), QStringLiteral("Ignored"));
    builder.pop_item();
    builder.pop_item();
    builder.new_item();
    builder.setParameter(QStringLiteral("Local"), QStringLiteral("later.htm"));
    EXPECT_EQ(root->path(), QStringLiteral("/"));
    EXPECT_EQ(namesOf(root->children()), (QStringList{"Found", QString()}));
    EXPECT_EQ(childAt(root, 1)->path(), QStringLiteral("later.htm"));
}

} // namespace
