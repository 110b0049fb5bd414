#include "chm/LinkItem.h"

#include "chm/TopicPath.h"

#include <QStringList>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The node as a shared pointer: the owning one when it has an owner, otherwise a non-owning alias
// (a node built on the stack can still be searched).
LinkItemPtr selfPointer(LinkItem* item)
{
    if (LinkItemPtr owned = item->weak_from_this().lock())
        return owned;
    return LinkItemPtr(LinkItemPtr(), item);
}

QString nameOrNull(const QString& text)
{
    return text.isNull() ? QStringLiteral("(null)") : text;
}

bool isBare(const LinkItem& item)
{
    return item.name().isEmpty() && item.path().isEmpty() && item.children().isEmpty();
}

} // namespace

LinkItem::LinkItem(const QString& name, const QString& path) : m_name(name), m_path(path) {}

QString LinkItem::uppercaseName() const
{
    return m_name.isNull() ? QString() : m_name.toUpper();
}

LinkItemPtr LinkItem::childAtIndex(int index) const
{
    if (index < 0 || index >= m_children.size())
        return {};
    return m_children.at(index);
}

void LinkItem::appendChild(LinkItemPtr child)
{
    m_children.append(std::move(child));
}

void LinkItem::removeChild()
{
    if (!m_children.isEmpty())
        m_children.removeLast();
}

LinkItemPtr LinkItem::find_by_path(const QString& path, LinkItemList* stack)
{
    if (TopicPath::matchesLookup(m_path, path))
        return selfPointer(this);
    for (const LinkItemPtr& child : std::as_const(m_children)) {
        if (LinkItemPtr found = child->find_by_path(path, stack)) {
            if (stack != nullptr)
                stack->append(selfPointer(this));
            return found;
        }
    }
    return {};
}

void LinkItem::enumerateItems(const std::function<void(const LinkItemPtr&)>& visit)
{
    if (m_path != QLatin1String("/"))
        visit(selfPointer(this));
    for (const LinkItemPtr& child : std::as_const(m_children))
        child->enumerateItems(visit);
}

void LinkItem::sort()
{
    std::vector<std::pair<QString, LinkItemPtr>> keyed;
    keyed.reserve(static_cast<size_t>(m_children.size()));
    for (const LinkItemPtr& child : std::as_const(m_children))
        keyed.emplace_back(child->uppercaseName(), child);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    m_children.clear();
    for (auto& [key, child] : keyed)
        m_children.append(std::move(child));
}

void LinkItem::purge()
{
    m_children.removeIf([](const LinkItemPtr& child) { return isBare(*child); });
    for (const LinkItemPtr& child : std::as_const(m_children))
        child->purge();
}

QString LinkItem::description() const
{
    QStringList childTexts;
    for (const LinkItemPtr& child : m_children)
        childTexts.append(child->description());
    const QString children = childTexts.isEmpty() ? QStringLiteral("()")
                                                  : QStringLiteral("(\n%1\n)").arg(childTexts.join(QStringLiteral(",\n")));
    return QStringLiteral("{\n\tname:%1\n\tpath:%2\n\tchildren:%3\n}")
        .arg(nameOrNull(m_name), nameOrNull(m_path), children);
}
