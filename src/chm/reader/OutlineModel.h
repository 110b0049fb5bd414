#pragma once

#include "chm/LinkItem.h"

#include <QAbstractItemModel>
#include <QHash>

class CHMTableOfContent;

// A contents, index or search-result tree as an item model for a tree view: one column, the
// node names. The tree is not owned; give the model another tree (or none) before it goes away.
class OutlineModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit OutlineModel(QObject* parent = nullptr);

    void setSource(const CHMTableOfContent* source);
    const CHMTableOfContent* source() const { return m_source; }

    // The node an index stands for; null for the root.
    static LinkItem* itemAt(const QModelIndex& index);
    // The index of a node given its ancestors, nearest first (the tree's root may be among them);
    // invalid when the chain does not lead there from the root.
    QModelIndex indexForItem(const LinkItem* item, const LinkItemList& ancestors);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    static int rowOf(const LinkItem* item, const LinkItem& parent);
    const LinkItem& nodeOrRoot(const QModelIndex& index) const;

    const CHMTableOfContent* m_source = nullptr;
    // Nodes do not know their parents: each node's parent is noted when its index is made.
    mutable QHash<const LinkItem*, const LinkItem*> m_parents;
};
