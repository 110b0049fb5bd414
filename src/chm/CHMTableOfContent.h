#pragma once

#include "chm/LinkItem.h"

#include <QByteArray>
#include <QString>

#include <functional>

// A contents or index tree parsed from a sitemap (".hhc", ".hhk"), with the list of distinct pages
// in tree order. The tree hangs under an invisible root named "root" with the path "/".
//
// The page list holds the same nodes as the tree; callers that keep a copy of it may outlive the
// tree.
class CHMTableOfContent {
public:
    // Parses sitemap bytes in the given character set ("iso_8859_1" when none). Never fails:
    // missing or unparsable data gives a root without children and an empty page list.
    CHMTableOfContent(const QByteArray& data, const QString& encodingName);

    // A tree whose root holds those top-level entries of `toc` that satisfy the predicate (the
    // same nodes, with their whole subtrees). It has no page list. A null tree gives an empty root.
    CHMTableOfContent(const CHMTableOfContent* toc, const std::function<bool(const LinkItem&)>& predicate);

    // The node a topic path names (one leading slash ignored), tried as written and then
    // percent-escaped; null when none. The stack receives the node's ancestors, nearest first.
    LinkItemPtr itemForPath(const QString& path, LinkItemList* stack = nullptr) const;

    int rootChildrenCount() const { return m_rootItems->numberOfChildren(); }
    void sort() { m_rootItems->sort(); } // top level only

    // The page after or before the node's page; null at either end. A null node is page 0.
    LinkItemPtr getNextPage(const LinkItem* item) const;
    LinkItemPtr getPrevPage(const LinkItem* item) const;

    // Outline view data source; a null item stands for the root.
    int numberOfChildren(const LinkItem* item) const;
    bool isItemExpandable(const LinkItem* item) const;
    LinkItemPtr child(int index, const LinkItem* item) const;
    QString objectValue(const LinkItem* item) const;

    const LinkItemPtr& rootItems() const { return m_rootItems; }
    const LinkItemList& pageList() const { return m_pageList; }

private:
    void buildPageList();
    // Appends the node unless it names the page listed last (whose key is `lastPageKey`).
    void addToPageList(const LinkItemPtr& item, QString& lastPageKey);
    const LinkItem& itemOrRoot(const LinkItem* item) const { return item != nullptr ? *item : *m_rootItems; }

    LinkItemPtr m_rootItems;
    LinkItemList m_pageList;
};
