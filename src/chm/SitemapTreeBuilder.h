#pragma once

#include "chm/LinkItem.h"

#include <QString>

#include <vector>

// Turns the element events of a sitemap into a tree under a given root: "ul" opens a level under
// the current node, "li" starts a new node on the open level, and "param" fills the current node.
class SitemapTreeBuilder {
public:
    explicit SitemapTreeBuilder(LinkItemPtr root);

    // Deeper sitemap levels than this are flattened into the deepest one: walking a tree recurses
    // once per level, and a hostile file must not exhaust the stack.
    static constexpr size_t kMaxDepth = 512;

    void push_item();  // "ul" begins
    void new_item();   // "li" begins
    void pop_item();   // "ul" ends
    // A "param" element's name and value. "Name" and "Keyword" name the current node unless it has
    // a name already; "Local" sets its path (the last one wins); others are ignored.
    void setParameter(const QString& name, const QString& value);

    const LinkItemPtr& curItem() const { return m_curItem; }

private:
    LinkItemPtr m_root;
    LinkItemPtr m_curItem; // null after a "ul" end with no level open
    std::vector<LinkItemPtr> m_itemStack;
};
