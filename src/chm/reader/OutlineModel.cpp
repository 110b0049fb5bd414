#include "chm/reader/OutlineModel.h"

#include "chm/CHMTableOfContent.h"

OutlineModel::OutlineModel(QObject* parent) : QAbstractItemModel(parent) {}

void OutlineModel::setSource(const CHMTableOfContent* source)
{
    beginResetModel();
    m_source = source;
    m_parents.clear();
    endResetModel();
}

LinkItem* OutlineModel::itemAt(const QModelIndex& index)
{
    return index.isValid() ? static_cast<LinkItem*>(index.internalPointer()) : nullptr;
}

const LinkItem& OutlineModel::nodeOrRoot(const QModelIndex& index) const
{
    const LinkItem* item = itemAt(index);
    return item != nullptr ? *item : *m_source->rootItems();
}

int OutlineModel::rowOf(const LinkItem* item, const LinkItem& parent)
{
    const LinkItemList& children = parent.children();
    for (int row = 0; row < children.size(); ++row) {
        if (children.at(row).get() == item)
            return row;
    }
    return -1;
}

QModelIndex OutlineModel::index(int row, int column, const QModelIndex& parent) const
{
    if (m_source == nullptr || column != 0 || row < 0)
        return {};
    const LinkItem& parentNode = nodeOrRoot(parent);
    const LinkItemPtr child = parentNode.childAtIndex(row);
    if (!child)
        return {};
    m_parents.insert(child.get(), &parentNode);
    return createIndex(row, 0, child.get());
}

QModelIndex OutlineModel::parent(const QModelIndex& child) const
{
    if (m_source == nullptr || !child.isValid())
        return {};
    const LinkItem* parentNode = m_parents.value(itemAt(child));
    if (parentNode == nullptr || parentNode == m_source->rootItems().get())
        return {};
    const LinkItem* grandParent = m_parents.value(parentNode);
    if (grandParent == nullptr)
        return {};
    const int row = rowOf(parentNode, *grandParent);
    return row < 0 ? QModelIndex() : createIndex(row, 0, parentNode);
}

int OutlineModel::rowCount(const QModelIndex& parent) const
{
    if (m_source == nullptr || parent.column() > 0)
        return 0;
    return m_source->numberOfChildren(itemAt(parent));
}

int OutlineModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool OutlineModel::hasChildren(const QModelIndex& parent) const
{
    return m_source != nullptr && m_source->isItemExpandable(itemAt(parent));
}

QVariant OutlineModel::data(const QModelIndex& index, int role) const
{
    if (m_source == nullptr || !index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return m_source->objectValue(itemAt(index));
}

QModelIndex OutlineModel::indexForItem(const LinkItem* item, const LinkItemList& ancestors)
{
    if (m_source == nullptr || item == nullptr)
        return {};
    QModelIndex current;
    for (auto it = ancestors.crbegin(); it != ancestors.crend(); ++it) {
        if (it->get() == m_source->rootItems().get())
            continue;
        const int row = rowOf(it->get(), nodeOrRoot(current));
        if (row < 0)
            return {};
        current = index(row, 0, current);
    }
    const int row = rowOf(item, nodeOrRoot(current));
    return row < 0 ? QModelIndex() : index(row, 0, current);
}
