#include "chm/search/CHMSearchIndex.h"

#include "chm/CHMDirectoryListing.h"
#include "chm/CHMDocument.h"
#include "platform/TextEncoding.h"

namespace {

QString nameEncoding(const CHMDocument& document)
{
    return document.encodingName().isEmpty() ? QStringLiteral("UTF-8") : document.encodingName();
}

} // namespace

CHMSearchIndex::~CHMSearchIndex()
{
    m_stopRequested = true;
    if (m_thread.joinable())
        m_thread.join();
}

void CHMSearchIndex::startBuild(const CHMDocument& document)
{
    if (m_thread.joinable())
        return;
    {
        const std::lock_guard guard(m_mutex);
        m_isIndexDone = false;
    }
    m_thread = std::thread([this, &document] { buildSearchIndex(document); });
}

bool CHMSearchIndex::isIndexDone() const
{
    const std::lock_guard guard(m_mutex);
    return m_isIndexDone;
}

void CHMSearchIndex::waitUntilDone() const
{
    std::unique_lock lock(m_mutex);
    m_searchIndexCondition.wait(lock, [this] { return m_isIndexDone; });
}

bool CHMSearchIndex::isIndexableObjectName(const QByteArray& name)
{
    if (!name.startsWith('/') || name.endsWith('/') || name.contains("/../"))
        return false;
    // "/#..." and "/$..." are the container's own tables, not content.
    return !(name.size() > 1 && (name.at(1) == '#' || name.at(1) == '$'));
}

QString CHMSearchIndex::objectText(const QByteArray& bytes, const QString& encodingName)
{
    const QString encoding = encodingName.isEmpty() ? QStringLiteral("UTF-8") : encodingName;
    if (std::optional<QString> text = TextEncoding::decodeStrict(bytes, encoding))
        return *text;
    if (bytes.isEmpty())
        return QString();
    if (std::optional<QString> text = TextEncoding::decodeStrict(bytes, QStringLiteral("UTF-8")))
        return *text;
    return QString::fromLatin1(bytes);
}

void CHMSearchIndex::buildSearchIndex(const CHMDocument& document)
{
    if (const std::optional<QList<QByteArray>> names = CHMDirectoryListing::listObjectNames(document.filePath())) {
        for (const QByteArray& name : *names) {
            if (m_stopRequested)
                break;
            if (isIndexableObjectName(name))
                addToSearchIndex(document, name);
        }
    }
    markDone();
}

void CHMSearchIndex::addToSearchIndex(const CHMDocument& document, const QByteArray& name)
{
    const QString decoded = TextEncoding::decodeLossy(name, nameEncoding(document)).value_or(QString::fromUtf8(name));
    const QString path = decoded.startsWith(u'/') ? decoded.mid(1) : decoded;
    if (path.isEmpty() || !document.exist(path))
        return;
    const QByteArray bytes = document.content(path);
    const QUrl url = document.composeURL(path);
    if (!url.isValid())
        return;
    // An object the index refuses is left out of the search, like one that cannot be read.
    m_textIndex.addDocument(url, objectText(bytes, document.encodingName()));
}

void CHMSearchIndex::markDone()
{
    {
        const std::lock_guard guard(m_mutex);
        m_isIndexDone = true;
    }
    m_searchIndexCondition.notify_all();
}
