#include "export/CHMExporter.h"

#include "chm/CHMDocument.h"
#include "platform/TextEncoding.h"

#include <QFileInfo>

#include <chm_lib.h>

#include <mutex>

namespace {

bool isTopicObject(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("htm") || suffix == QLatin1String("html");
}

// Object paths are bytes in the file's own encoding; a name the encoding module does not know
// is read as UTF-8 rather than losing every page.
std::optional<QString> decodeObjectPath(const QByteArray& bytes, const QString& encodingName)
{
    if (encodingName.isEmpty() || !TextEncoding::isKnown(encodingName))
        return TextEncoding::decodeStrict(bytes, QStringLiteral("UTF-8"));
    return TextEncoding::decodeStrict(bytes, encodingName);
}

struct EnumerationContext {
    CHMExporter* exporter;
    QString encodingName;
};

int addUnlistedObject(chmFile*, chmUnitInfo* unit, void* context)
{
    const auto* enumeration = static_cast<const EnumerationContext*>(context);
    const QByteArray bytes(unit->path);
    if (!bytes.startsWith('/') || bytes.contains("/../") || bytes.endsWith('/'))
        return CHM_ENUMERATOR_CONTINUE;
    std::optional<QString> path = decodeObjectPath(bytes, enumeration->encodingName);
    if (!path)
        return CHM_ENUMERATOR_CONTINUE;
    path->remove(0, 1);
    if (isTopicObject(*path))
        enumeration->exporter->CheckNInsertPath(*path);
    return CHM_ENUMERATOR_CONTINUE;
}

} // namespace

QString CHMExporter::pageKey(const QString& path)
{
    // Two paths name the same page when they differ only in case, leading slashes, percent
    // escapes or fragment. A mere common beginning ("intro.htm", "intro.html") is not enough.
    QString key = path.left(path.indexOf(QLatin1Char('#')));
    key = QUrl::fromPercentEncoding(key.toUtf8());
    while (key.startsWith(QLatin1Char('/')))
        key.remove(0, 1);
    return key.toLower();
}

bool CHMExporter::FindPageInsidePageList(const QString& path) const
{
    return !path.isEmpty() && m_listedPages.contains(pageKey(path));
}

void CHMExporter::CheckNInsertPath(const QString& path)
{
    if (path.isEmpty() || FindPageInsidePageList(path))
        return;
    m_pageList.append(std::make_shared<LinkItem>(path.section(QLatin1Char('/'), -1), path));
    m_listedPages.insert(pageKey(path));
}

void CHMExporter::addHomeTopic()
{
    const QString home = m_document.homePath();
    if (home.isEmpty() || FindPageInsidePageList(home))
        return;
    // A home path found by looking for index pages starts with "/"; the item keeps the form
    // that loads (an itss URL of "/x" names "//x", which is no object).
    QString path = home;
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    m_pageList.prepend(std::make_shared<LinkItem>(QStringLiteral("Home"), path));
    m_listedPages.insert(pageKey(home));
}

void CHMExporter::addUnlistedTopics()
{
    const std::lock_guard lock(m_document.lock());
    chmFile* handle = m_document.chmFileHandle();
    if (handle == nullptr)
        return;
    EnumerationContext context{this, m_document.encodingName()};
    chm_enumerate(handle, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, &addUnlistedObject, &context);
}
