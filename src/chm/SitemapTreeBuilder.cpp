#include "chm/SitemapTreeBuilder.h"

#include <utility>

SitemapTreeBuilder::SitemapTreeBuilder(LinkItemPtr root) : m_root(std::move(root)), m_curItem(m_root) {}

void SitemapTreeBuilder::push_item()
{
    // Levels are pushed even past the depth limit, so that every "ul" end still finds its level;
    // past the limit the open level is pushed again, so new nodes become siblings, not children.
    if (m_itemStack.size() >= kMaxDepth)
        m_itemStack.push_back(m_itemStack.back());
    else
        m_itemStack.push_back(m_curItem ? m_curItem : m_root);
}

void SitemapTreeBuilder::new_item()
{
    if (m_itemStack.empty())
        m_itemStack.push_back(m_curItem ? m_curItem : m_root);
    auto item = std::make_shared<LinkItem>();
    m_itemStack.back()->appendChild(item);
    m_curItem = std::move(item);
}

void SitemapTreeBuilder::pop_item()
{
    if (m_itemStack.empty()) {
        // A stray "ul" end: parameters that follow have no node to go to until the next "li".
        m_curItem.reset();
        return;
    }
    m_curItem = std::move(m_itemStack.back());
    m_itemStack.pop_back();
}

void SitemapTreeBuilder::setParameter(const QString& name, const QString& value)
{
    if (!m_curItem || m_curItem == m_root)
        return; // parameters outside any entry (the sitemap's own properties) describe no node
    if (name.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String("Keyword"), Qt::CaseInsensitive) == 0) {
        if (m_curItem->name().isNull())
            m_curItem->setName(value);
    } else if (name.compare(QLatin1String("Local"), Qt::CaseInsensitive) == 0) {
        m_curItem->setPath(value);
    }
}
