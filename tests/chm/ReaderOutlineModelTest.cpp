#include "chm/CHMTableOfContent.h"
#include "chm/reader/OutlineModel.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

namespace {

const QByteArray kContents = R"(<ul>
 <li><object type="text/sitemap"><param name="Name" value="One"><param name="Local" value="1.htm"></object>
 <ul>
  <li><object type="text/sitemap"><param name="Name" value="One.A"><param name="Local" value="1a.htm"></object>
  <ul>
   <li><object type="text/sitemap"><param name="Name" value="Deep"><param name="Local" value="deep.htm"></object>
  </ul>
 </ul>
 <li><object type="text/sitemap"><param name="Name" value="Two"><param name="Local" value="2.htm"></object>
</ul>)";

TEST(ReaderOutlineModelTest, ShowsTheTreeAndFindsANodeFromItsAncestors)
{
    CHMTableOfContent toc(kContents, QStringLiteral("UTF-8"));
    OutlineModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setSource(&toc);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(1, 0).data().toString(), QStringLiteral("Two"));

    LinkItemList stack;
    const LinkItemPtr deep = toc.itemForPath(QStringLiteral("deep.htm"), &stack);
    ASSERT_TRUE(deep);
    const QModelIndex index = model.indexForItem(deep.get(), stack);
    ASSERT_TRUE(index.isValid());
    EXPECT_EQ(index.data().toString(), QStringLiteral("Deep"));
    EXPECT_EQ(index.parent().data().toString(), QStringLiteral("One.A"));
    EXPECT_EQ(index.parent().parent().data().toString(), QStringLiteral("One"));
    EXPECT_FALSE(index.parent().parent().parent().isValid());

    model.setSource(nullptr);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.indexForItem(deep.get(), stack).isValid());
}

} // namespace
