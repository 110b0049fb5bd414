#include "chm/search/ScoredLinkItem.h"

#include <algorithm>

ScoredLinkItem::ScoredLinkItem(const QString& name, const QString& path, float score)
    : LinkItem(name, path), m_relScore(score)
{
}

void ScoredLinkItem::appendScoredChild(std::shared_ptr<ScoredLinkItem> child)
{
    m_scoredChildren.append(child);
    appendChild(std::move(child));
}

void ScoredLinkItem::sort()
{
    sortInto(m_scoredChildren, *this);
}

void ScoredLinkItem::sortInto(ScoredLinkItemList& hits, LinkItem& parent)
{
    std::stable_sort(hits.begin(), hits.end(),
                     [](const auto& a, const auto& b) { return a->relScore() > b->relScore(); });
    // LinkItem only lets a node's children be appended or dropped from the end.
    while (parent.numberOfChildren() > 0)
        parent.removeChild();
    for (const std::shared_ptr<ScoredLinkItem>& hit : hits)
        parent.appendChild(hit);
}
