#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class LinkItem;
using LinkItemPtr = std::shared_ptr<LinkItem>;
// The children of a node, and the page list of a tree.
using LinkItemList = QList<LinkItemPtr>;

// One node of a contents or index tree: a title, the topic path as the sitemap wrote it (relative,
// possibly with a fragment), the child nodes, and the node's index in its tree's page list.
// Nodes are shared: a page list, a filtered tree and the export hold the same nodes as the tree.
// Create them with std::make_shared so that lookups can hand out the node itself.
class LinkItem : public std::enable_shared_from_this<LinkItem> {
public:
    LinkItem() = default;
    LinkItem(const QString& name, const QString& path);

    const QString& name() const { return m_name; }
    const QString& path() const { return m_path; }
    quint64 pageID() const { return m_pageID; }
    void setName(const QString& name) { m_name = name; }
    void setPath(const QString& path) { m_path = path; }
    void setPageID(quint64 pageID) { m_pageID = pageID; }

    // The sort key: the name in upper case, null for a null name.
    QString uppercaseName() const;

    const LinkItemList& children() const { return m_children; }
    int numberOfChildren() const { return static_cast<int>(m_children.size()); }
    LinkItemPtr childAtIndex(int index) const;
    void appendChild(LinkItemPtr child);
    void removeChild(); // the last one

    // The first node, in depth-first pre-order from this one, whose path names the page of `path`
    // (see TopicPath::matchesLookup). The stack, when given, receives the found node's ancestors
    // from its parent up to this node, nearest first; it is left unchanged when nothing is found.
    LinkItemPtr find_by_path(const QString& path, LinkItemList* stack = nullptr);

    // Calls `visit` for this node and its descendants in depth-first pre-order, except for nodes
    // whose path is exactly "/" (the invisible roots).
    void enumerateItems(const std::function<void(const LinkItemPtr&)>& visit);

    // Sorts the direct children by uppercaseName (code-unit order, nameless nodes first).
    void sort();
    // Drops, at every level, the children that have no name, no path and no children.
    void purge();

    QString description() const;

private:
    QString m_name;
    QString m_path;
    LinkItemList m_children;
    quint64 m_pageID = 0;
};
