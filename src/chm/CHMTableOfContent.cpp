#include "chm/CHMTableOfContent.h"

#include "chm/SitemapParser.h"
#include "chm/SitemapTreeBuilder.h"
#include "chm/TopicPath.h"

#include <utility>

namespace {

LinkItemPtr makeRoot()
{
    return std::make_shared<LinkItem>(QStringLiteral("root"), QStringLiteral("/"));
}

} // namespace

CHMTableOfContent::CHMTableOfContent(const QByteArray& data, const QString& encodingName) : m_rootItems(makeRoot())
{
    {
        SitemapTreeBuilder builder(m_rootItems);
        SitemapParser::parse(data, encodingName, builder);
    }
    m_rootItems->purge();
    buildPageList();
}

CHMTableOfContent::CHMTableOfContent(const CHMTableOfContent* toc,
                                     const std::function<bool(const LinkItem&)>& predicate)
    : m_rootItems(makeRoot())
{
    if (toc == nullptr)
        return;
    for (const LinkItemPtr& child : toc->rootItems()->children()) {
        if (predicate(*child))
            m_rootItems->appendChild(child);
    }
}

void CHMTableOfContent::buildPageList()
{
    QString lastPageKey;
    m_rootItems->enumerateItems([&](const LinkItemPtr& item) { addToPageList(item, lastPageKey); });
}

void CHMTableOfContent::addToPageList(const LinkItemPtr& item, QString& lastPageKey)
{
    if (item->path().isEmpty())
        return;
    // Only the entry just before is compared: a page that comes back later is listed again.
    QString key = TopicPath::pageKey(item->path());
    if (m_pageList.isEmpty() || key.isEmpty() || key != lastPageKey) {
        m_pageList.append(item);
        lastPageKey = std::move(key);
    }
    item->setPageID(static_cast<quint64>(m_pageList.size() - 1));
}

LinkItemPtr CHMTableOfContent::itemForPath(const QString& path, LinkItemList* stack) const
{
    const QString lookup = path.startsWith(u'/') ? path.mid(1) : path;
    if (LinkItemPtr found = m_rootItems->find_by_path(lookup, stack))
        return found;
    return m_rootItems->find_by_path(TopicPath::percentEscaped(lookup), stack);
}

LinkItemPtr CHMTableOfContent::getNextPage(const LinkItem* item) const
{
    const quint64 next = (item != nullptr ? item->pageID() : 0) + 1;
    if (next >= static_cast<quint64>(m_pageList.size()))
        return {};
    return m_pageList.at(static_cast<qsizetype>(next));
}

LinkItemPtr CHMTableOfContent::getPrevPage(const LinkItem* item) const
{
    const quint64 current = item != nullptr ? item->pageID() : 0;
    if (current == 0 || current > static_cast<quint64>(m_pageList.size()))
        return {};
    return m_pageList.at(static_cast<qsizetype>(current - 1));
}

int CHMTableOfContent::numberOfChildren(const LinkItem* item) const
{
    return itemOrRoot(item).numberOfChildren();
}

bool CHMTableOfContent::isItemExpandable(const LinkItem* item) const
{
    return itemOrRoot(item).numberOfChildren() > 0;
}

LinkItemPtr CHMTableOfContent::child(int index, const LinkItem* item) const
{
    return itemOrRoot(item).childAtIndex(index);
}

QString CHMTableOfContent::objectValue(const LinkItem* item) const
{
    return item != nullptr ? item->name() : QString();
}
