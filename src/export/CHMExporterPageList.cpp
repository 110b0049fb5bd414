#include "export/CHMExporter.h"

#include "chm/CHMDirectoryListing.h"
#include "chm/CHMDocument.h"
#include "chm/TopicPath.h"
#include "platform/TextEncoding.h"

#include <QFileInfo>

#include <algorithm>

namespace {

bool isTopicObject(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("htm") || suffix == QLatin1String("html");
}

bool isNonASCII(const QByteArray& bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) > 0x7F; });
}

// Object paths are bytes: Microsoft's compiler writes them in the file's code page, Free Pascal's
// in UTF-8 whatever the code page. Non-ASCII bytes that form valid UTF-8 are read as UTF-8 (text in
// a code page almost never does), so such a page is not listed a second time under a garbled name.
// A name the encoding module does not know is read as UTF-8 rather than losing every page.
std::optional<QString> decodeObjectPath(const QByteArray& bytes, const QString& encodingName)
{
    const QString utf8 = QStringLiteral("UTF-8");
    if (isNonASCII(bytes)) {
        if (std::optional<QString> path = TextEncoding::decodeStrict(bytes, utf8))
            return path;
    }
    if (encodingName.isEmpty() || !TextEncoding::isKnown(encodingName))
        return TextEncoding::decodeStrict(bytes, utf8);
    return TextEncoding::decodeStrict(bytes, encodingName);
}

// Normal objects only: not the container's own (":: names") nor its special files ("/#", "/$"),
// nor folders or paths that climb out of the container.
bool isNormalFileObject(const QByteArray& bytes)
{
    return bytes.startsWith('/') && !bytes.startsWith("/#") && !bytes.startsWith("/$") && !bytes.contains("/../")
           && !bytes.endsWith('/');
}

} // namespace

QString CHMExporter::pageKey(const QString& path)
{
    // Two paths name the same page when they differ only in case, leading slashes, percent
    // escapes or fragment. A mere common beginning ("intro.htm", "intro.html") is not enough.
    return TopicPath::pageKey(path);
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
    m_pageList.prepend(std::make_shared<LinkItem>(QStringLiteral("Home"), TopicPath::loadablePath(home)));
    m_listedPages.insert(pageKey(home));
}

void CHMExporter::addUnlistedTopics()
{
    if (m_document.chmFileHandle() == nullptr)
        return;
    // The directory is read from the file itself: chmlib's enumeration misses objects of some files.
    const std::optional<QList<QByteArray>> names = CHMDirectoryListing::listObjectNames(m_document.filePath());
    if (!names)
        return;
    for (const QByteArray& bytes : *names) {
        if (!isNormalFileObject(bytes))
            continue;
        std::optional<QString> path = decodeObjectPath(bytes, m_document.encodingName());
        if (!path)
            continue;
        path->remove(0, 1);
        if (isTopicObject(*path))
            CheckNInsertPath(*path);
    }
}
