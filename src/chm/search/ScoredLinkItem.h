#pragma once

#include "chm/LinkItem.h"

class ScoredLinkItem;
using ScoredLinkItemList = QList<std::shared_ptr<ScoredLinkItem>>;

// A search hit: a node of a contents or index tree with the relevance of the hit.
class ScoredLinkItem : public LinkItem {
public:
    ScoredLinkItem(const QString& name, const QString& path, float score);

    float relScore() const { return m_relScore; }
    void setRelScore(float score) { m_relScore = score; }

    // Hits are added through here so that they can be ordered by relevance.
    void appendScoredChild(std::shared_ptr<ScoredLinkItem> child);
    // Orders the direct children by relevance, highest first; equal scores keep their order.
    void sort();

    // The same order for any list of hits, which then become the children of `parent`.
    static void sortInto(ScoredLinkItemList& hits, LinkItem& parent);

private:
    float m_relScore = 0.0F;
    ScoredLinkItemList m_scoredChildren;
};
