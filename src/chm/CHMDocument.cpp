#include "chm/CHMDocument.h"

#include "chm/CHMContainerCheck.h"
#include "chm/CHMContainerCheckReads.h"
#include "chm/CHMMetadataReader.h"
#include "chm/CHMTableOfContent.h"
#include "chm/TopicPath.h"
#include "chm/search/CHMSearchIndex.h"
#include "platform/TextEncoding.h"

#include <QElapsedTimer>
#include <QFile>

#include <chm_lib.h>

#include <new>

namespace {

const QString kUrlPrefix = QStringLiteral("itss://chm/");

// Object paths begin with exactly one slash: "a.htm", "/a.htm" and "///a.htm" name one object.
QString normalizedObjectPath(const QString& path)
{
    qsizetype slashes = 0;
    while (slashes < path.size() && path[slashes] == u'/')
        ++slashes;
    return u'/' + path.mid(slashes);
}

} // namespace

CHMDocument::CHMDocument() = default;

CHMDocument::~CHMDocument()
{
    // The index build reads through the handle: it ends before the handle closes.
    skIndex.reset();
    closeHandle();
}

void CHMDocument::closeHandle()
{
    const std::lock_guard guard(m_lock);
    if (m_chmFileHandle != nullptr)
        chm_close(m_chmFileHandle);
    m_chmFileHandle = nullptr;
    m_checkedReads.reset();
}

void CHMDocument::openHandle()
{
    const std::lock_guard guard(m_lock);
    QElapsedTimer timer;
    timer.start();
    std::optional<CHMContainerCheck::Container> container = CHMContainerCheck::checkFileToOpen(m_filePath);
    m_checkTime += std::chrono::nanoseconds(timer.nsecsElapsed());
    if (!container)
        return;
    m_chmFileHandle = chm_open(QFile::encodeName(m_filePath).constData());
    if (m_chmFileHandle != nullptr)
        m_checkedReads = std::make_unique<CHMContainerCheck::Reads>(m_filePath, std::move(*container));
}

bool CHMDocument::readFromURL(const QUrl& url, const QString& /*typeName*/, QString* /*error*/)
{
    // An index of the file read before would be stale, and its build reads the fields changed here.
    skIndex.reset();
    closeHandle();
    m_filePath = url.isLocalFile() ? url.toLocalFile() : url.path();
    openHandle();
    resetMetadata();
    if (m_chmFileHandle == nullptr)
        return false;
    loadMetadata();
    setupTOCSource();
    return true;
}

void CHMDocument::resetMetadata()
{
    m_docTitle = QString();
    m_homePath = QString();
    m_tocPath = QString();
    m_indexPath = QString();
    m_encodingName = QString();
    m_fileEncodingName = QString();
    m_encodingChosen = false;
    m_damagedObjects.clear();
    m_tocSource.reset();
    m_indexSource.reset();
}

bool CHMDocument::loadMetadata()
{
    CHMMetadata known;
    known.docTitle = m_docTitle;
    known.tocPath = m_tocPath;
    known.indexPath = m_indexPath;
    known.homePath = m_homePath;
    known.encodingName = m_encodingName;
    const CHMMetadata metadata =
        CHMMetadataReader::read(
            content(QStringLiteral("/#WINDOWS")), content(QStringLiteral("/#STRINGS")),
            content(QStringLiteral("/#SYSTEM")), [this](const QString& path) { return exist(path); },
            known);
    m_docTitle = metadata.docTitle;
    m_tocPath = metadata.tocPath;
    m_indexPath = metadata.indexPath;
    m_homePath = metadata.homePath;
    m_encodingName = metadata.encodingName;
    m_fileEncodingName = metadata.encodingName;
    if (!metadata.hasSystem)
        return false;
    if (m_homePath.isNull())
        m_homePath = findHomeForPath(QStringLiteral("/"));
    return true;
}

void CHMDocument::setupTOCSource()
{
    if (!m_tocPath.isEmpty())
        m_tocSource = std::make_unique<CHMTableOfContent>(content(m_tocPath), currentEncodingName());
    if (!m_indexPath.isEmpty()) {
        m_indexSource = std::make_unique<CHMTableOfContent>(content(m_indexPath), currentEncodingName());
        m_indexSource->sort();
    }
}

void CHMDocument::close()
{
    // The handle stays open until the document is destroyed: a reader of the document may still
    // be serving its pages. Nothing else is held for a window here.
}

bool CHMDocument::resolveObject(const QString& path, chmUnitInfo& info) const
{
    if (m_chmFileHandle == nullptr || path.contains(QChar(u'\0')))
        return false;
    const QString objectPath = normalizedObjectPath(path);
    // Names are UTF-8 in files from most compilers; files made in a code page may list them in it.
    QList<QByteArray> names{objectPath.toUtf8()};
    if (!m_fileEncodingName.isEmpty() && !TextEncoding::isUtf8(m_fileEncodingName)) {
        const std::optional<QByteArray> local = TextEncoding::encodeStrict(objectPath, m_fileEncodingName);
        if (local && *local != names.first())
            names.append(*local);
    }
    const std::lock_guard guard(m_lock);
    for (const QByteArray& name : std::as_const(names)) {
        if (name.size() <= CHM_MAX_PATHLEN
            && chm_resolve_object(m_chmFileHandle, name.constData(), &info) == CHM_RESOLVE_SUCCESS)
            return true;
    }
    return false;
}

bool CHMDocument::exist(const QString& path) const
{
    chmUnitInfo info{};
    return resolveObject(path, info);
}

QByteArray CHMDocument::content(const QString& path) const
{
    if (path.isNull())
        return {};
    const std::lock_guard guard(m_lock);
    chmUnitInfo info{};
    if (!resolveObject(path, info) || info.length == 0 || info.length > kMaxObjectSize)
        return {};
    if (!isSafeToRetrieve(info)) {
        noteDamagedObject(path);
        return {};
    }
    QByteArray data;
    try {
        data = QByteArray(static_cast<qsizetype>(info.length), Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        return {};
    }
    const LONGINT64 read = chm_retrieve_object(m_chmFileHandle, &info, reinterpret_cast<unsigned char*>(data.data()),
                                               0, static_cast<LONGINT64>(info.length));
    // An object the file holds only part of fails as a whole, like one that is not there.
    if (read != static_cast<LONGINT64>(info.length)) {
        noteDamagedObject(path);
        return {};
    }
    return data;
}

void CHMDocument::noteDamagedObject(const QString& path) const
{
    const std::lock_guard guard(m_lock);
    m_damagedObjects.insert(normalizedObjectPath(path));
}

bool CHMDocument::isDamagedObject(const QString& path) const
{
    const std::lock_guard guard(m_lock);
    return !path.isNull() && m_damagedObjects.contains(normalizedObjectPath(path));
}

bool CHMDocument::isSafeToRetrieve(const chmUnitInfo& info) const
{
    if (info.space == CHM_UNCOMPRESSED)
        return true; // chmlib reads what the file holds of it, and no more
    QElapsedTimer timer;
    timer.start();
    const bool safe = m_checkedReads != nullptr && m_checkedReads->compressedReadIsSafe(info.start, info.length);
    m_checkTime += std::chrono::nanoseconds(timer.nsecsElapsed());
    return safe;
}

QString CHMDocument::findHomeForPath(const QString& folder) const
{
    const QString separator = folder.endsWith(u'/') ? QString() : QStringLiteral("/");
    for (const char* candidate : {"index.htm", "default.html", "default.htm"}) {
        const QString path = folder + separator + QLatin1String(candidate);
        if (exist(path))
            return path;
    }
    return folder + separator + QStringLiteral("index.html");
}

QUrl CHMDocument::composeURL(const QString& path) const
{
    const QUrl url(kUrlPrefix + path, QUrl::StrictMode);
    if (url.isValid())
        return url;
    const QUrl escaped(kUrlPrefix + TopicPath::percentEscaped(path), QUrl::StrictMode);
    return escaped.isValid() ? escaped : QUrl();
}

QString CHMDocument::extractPathFromURL(const QUrl& url) const
{
    const QByteArray escapedPath = url.toString(QUrl::FullyEncoded).mid(kUrlPrefix.size()).toUtf8();
    return TextEncoding::decodeStrict(QByteArray::fromPercentEncoding(escapedPath), QStringLiteral("UTF-8"))
        .value_or(QString());
}

QString CHMDocument::currentEncodingName() const
{
    // The reader's encoding menu has no entries of its own yet, so no tag overrides the file's name.
    return m_encodingName;
}
