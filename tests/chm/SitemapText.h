#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "chm/LinkItem.h"

#include <gtest/gtest.h>

// Small helpers to write sitemaps in tests and read trees back.
namespace SitemapText {

// The node's child at the index; when the tree has another shape than the test expects, a test
// failure that names the index and an empty item, so that the test fails rather than crashing.
inline LinkItemPtr childAt(const LinkItemPtr& node, int index)
{
    const LinkItemPtr child = node ? node->childAtIndex(index) : nullptr;
    if (child)
        return child;
    ADD_FAILURE() << "no child at index " << index << " (the node has "
                  << (node ? node->numberOfChildren() : 0) << ")";
    return std::make_shared<LinkItem>();
}

// One "li" entry with the given parameters, written as chmcmd and HTML Help Workshop write them.
inline QByteArray entry(const QString& name, const QString& local = QString())
{
    QString text = QStringLiteral("<LI><OBJECT type=\"text/sitemap\">");
    if (!name.isNull())
        text += QStringLiteral("<param name=\"Name\" value=\"%1\">").arg(name);
    if (!local.isNull())
        text += QStringLiteral("<param name=\"Local\" value=\"%1\">").arg(local);
    return (text + QStringLiteral("</OBJECT>\n")).toUtf8();
}

inline QByteArray document(const QByteArray& body)
{
    return "<HTML><BODY>\n" + body + "</BODY></HTML>\n";
}

inline QStringList namesOf(const LinkItemList& items)
{
    QStringList names;
    for (const LinkItemPtr& item : items)
        names.append(item->name());
    return names;
}

inline QStringList pathsOf(const LinkItemList& items)
{
    QStringList paths;
    for (const LinkItemPtr& item : items)
        paths.append(item->path());
    return paths;
}

inline QList<quint64> pageIDsOf(const LinkItemList& items)
{
    QList<quint64> ids;
    for (const LinkItemPtr& item : items)
        ids.append(item->pageID());
    return ids;
}

} // namespace SitemapText
