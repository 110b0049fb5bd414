#include "chm/search/CHMSearchResult.h"

#include "chm/search/ScoredLinkItem.h"

CHMSearchResult::CHMSearchResult() : CHMTableOfContent(nullptr, [](const LinkItem&) { return false; }) {}

CHMSearchResult::CHMSearchResult(const CHMTableOfContent* tableOfContent, const CHMTableOfContent* indexContent)
    : CHMSearchResult()
{
    m_tableOfContent = tableOfContent;
    m_indexContent = indexContent;
}

void CHMSearchResult::addPath(const QString& path, float score)
{
    LinkItemPtr item = m_tableOfContent != nullptr ? m_tableOfContent->itemForPath(path) : nullptr;
    if (!item && m_indexContent != nullptr)
        item = m_indexContent->itemForPath(path);
    if (!item)
        return;
    auto hit = std::make_shared<ScoredLinkItem>(item->name(), item->path(), score);
    m_hits.append(hit);
    rootItems()->appendChild(std::move(hit));
}

void CHMSearchResult::sort()
{
    ScoredLinkItem::sortInto(m_hits, *rootItems());
}
