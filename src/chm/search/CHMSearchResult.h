#pragma once

#include "chm/CHMTableOfContent.h"
#include "chm/search/ScoredLinkItem.h"

// The hits of a full-text search as a flat tree: one entry per hit, named and linked like the
// node of the contents (or else the index) tree that the hit's page leads to. It has no page list.
class CHMSearchResult : public CHMTableOfContent {
public:
    CHMSearchResult();
    // The trees are not owned: they belong to the document and outlive the result.
    CHMSearchResult(const CHMTableOfContent* tableOfContent, const CHMTableOfContent* indexContent);

    // Adds one hit; a page found in neither tree is dropped. Hits are not merged.
    void addPath(const QString& path, float score);
    // Highest relevance first.
    void sort();

private:
    const CHMTableOfContent* m_tableOfContent = nullptr;
    const CHMTableOfContent* m_indexContent = nullptr;
    ScoredLinkItemList m_hits; // the root's children, as hits
};
