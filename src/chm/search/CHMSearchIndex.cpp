#include "chm/search/CHMSearchIndex.h"

#include "chm/CHMDirectoryListing.h"
#include "chm/CHMDocument.h"
#include "chm/PageEncoding.h"
#include "chm/search/VisibleText.h"
#include "platform/TextEncoding.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// Beyond this many threads the document's lock, which every read of an object takes, is the limit.
constexpr unsigned kMaxPreparingThreads = 8;

QString nameEncoding(const CHMDocument& document)
{
    return document.encodingName().isEmpty() ? QStringLiteral("UTF-8") : document.encodingName();
}

enum class ObjectKind {
    Page,
    XmlPage,
    PlainText,
    Other
};

ObjectKind kindOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("htm") || suffix == QLatin1String("html"))
        return ObjectKind::Page;
    if (suffix == QLatin1String("xhtml") || suffix == QLatin1String("xhtm"))
        return ObjectKind::XmlPage;
    if (suffix == QLatin1String("txt") || suffix == QLatin1String("text"))
        return ObjectKind::PlainText;
    return ObjectKind::Other;
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

QString CHMSearchIndex::indexedText(const QString& path, const QByteArray& bytes, const CHMDocument& document)
{
    switch (kindOf(path)) {
    case ObjectKind::Page:
        return VisibleText::fromHtml(
            PageEncoding::decodePage(bytes, document.currentEncodingName(), document.isEncodingChosen()));
    case ObjectKind::XmlPage:
        // Served as XML, which is UTF-8 unless it declares otherwise, whatever the document's name.
        return VisibleText::fromHtml(PageEncoding::decodePage(bytes, QStringLiteral("UTF-8"), false));
    case ObjectKind::PlainText:
        return objectText(bytes, document.currentEncodingName());
    case ObjectKind::Other:
        break;
    }
    return QString();
}

unsigned CHMSearchIndex::preparingThreadCount()
{
    return std::clamp(std::thread::hardware_concurrency(), 1u, kMaxPreparingThreads);
}

void CHMSearchIndex::buildSearchIndex(const CHMDocument& document)
{
    std::vector<QByteArray> names;
    if (const std::optional<QList<QByteArray>> listed = CHMDirectoryListing::listObjectNames(document.filePath())) {
        for (const QByteArray& name : *listed) {
            if (isIndexableObjectName(name))
                names.push_back(name);
        }
    }
    // Reading, decoding, splitting into terms and adding run on several threads at once; only the
    // reads of the container take turns.
    std::atomic<std::size_t> nextName{0};
    const unsigned threadCount = static_cast<unsigned>(std::min<std::size_t>(preparingThreadCount(), names.size()));
    std::vector<std::thread> indexing;
    indexing.reserve(threadCount);
    for (unsigned i = 0; i < threadCount; ++i) {
        indexing.emplace_back([&] {
            for (std::size_t index = nextName++; index < names.size() && !m_stopRequested; index = nextName++) {
                // An object the index refuses is left out of the search, like one that cannot be read.
                if (TextIndex::Prepared prepared = prepareObject(document, names[index]); prepared.isValid())
                    m_textIndex.addDocument(std::move(prepared));
            }
        });
    }
    for (std::thread& thread : indexing)
        thread.join();
    markDone();
}

TextIndex::Prepared CHMSearchIndex::prepareObject(const CHMDocument& document, const QByteArray& name) const
{
    const QString decoded = TextEncoding::decodeLossy(name, nameEncoding(document)).value_or(QString::fromUtf8(name));
    const QString path = decoded.startsWith(u'/') ? decoded.mid(1) : decoded;
    if (path.isEmpty() || !document.exist(path))
        return {};
    const QUrl url = document.composeURL(path);
    if (!url.isValid())
        return {};
    return TextIndex::prepareDocument(url, indexedText(path, document.content(path), document));
}

void CHMSearchIndex::markDone()
{
    {
        const std::lock_guard guard(m_mutex);
        m_isIndexDone = true;
    }
    m_searchIndexCondition.notify_all();
}
