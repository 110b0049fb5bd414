#include "toolkit/text/LinkedResources.h"

#include "toolkit/text/EmbeddedImage.h"
#include "toolkit/text/TextDocumentFiles.h"
#include "toolkit/text/TextReadLimits.h"

#include <QFileInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextImageFormat>

#include <cstdint>
#include <utility>
#include <vector>

namespace LinkedResources {

namespace {

// A document whose resources load under the rule: Qt's loading, which would read the file, is
// never reached.
class GuardedDocument : public QTextDocument {
public:
    explicit GuardedDocument(const QString& folder)
        : m_folder(folder.isEmpty() ? QString() : QFileInfo(folder).canonicalFilePath())
    {
    }

protected:
    QVariant loadResource(int type, const QUrl& name) override
    {
        if (name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0)
            return QTextDocument::loadResource(type, name); // within the page's own bytes
        QByteArray bytes = load(name);
        if (bytes.isEmpty())
            return {};
        return bytes;
    }

private:
    QByteArray load(const QUrl& url)
    {
        if (m_folder.isEmpty() || !url.isLocalFile())
            return {};
        const QString canonical = QFileInfo(url.toLocalFile()).canonicalFilePath();
        if (canonical.isEmpty() || !canonical.startsWith(m_folder + u'/'))
            return {};
        const QFileInfo target(canonical);
        if (!target.isFile() || target.size() > TextReadLimits::kMaxEmbeddedObjectBytes
            || m_bytesUsed + target.size() > TextReadLimits::kMaxLinkedResourceBytes)
            return {};
        auto bytes = TextDocumentFiles::ReadAtMost(canonical, TextReadLimits::kMaxEmbeddedObjectBytes);
        if (!bytes)
            return {};
        m_bytesUsed += bytes->size();
        return *bytes;
    }

    QString m_folder; // canonical; empty when nothing may be loaded
    std::int64_t m_bytesUsed = 0;
};

struct Picture {
    QUrl url; // resolved against the page's address
    QImage image;
};

// Decodes every picture of the page within the readers' bounds and removes those that cannot be
// shown; returns the ones kept.
std::vector<Picture> KeepShowablePictures(QTextDocument& page)
{
    std::vector<Picture> kept;
    std::vector<std::pair<int, int>> refused; // position and length
    std::int64_t pictures = 0;
    for (QTextBlock block = page.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment piece = fragment.fragment();
            if (!piece.charFormat().isImageFormat())
                continue;
            const QUrl url = page.baseUrl().resolved(QUrl(piece.charFormat().toImageFormat().name()));
            const QVariant resource = page.resource(QTextDocument::ImageResource, url);
            QImage image;
            if (resource.userType() == QMetaType::QImage)
                image = resource.value<QImage>();
            else if (resource.userType() == QMetaType::QByteArray)
                image = DecodeEmbeddedImage(resource.toByteArray());
            if (image.isNull() || ++pictures > TextReadLimits::kMaxDocumentPictures)
                refused.emplace_back(piece.position(), piece.length());
            else
                kept.push_back({url, image});
        }
    }
    QTextCursor cursor(&page);
    for (auto picture = refused.rbegin(); picture != refused.rend(); ++picture) {
        cursor.setPosition(picture->first);
        cursor.setPosition(picture->first + picture->second, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    return kept;
}

} // namespace

void SetHtml(QTextDocument& document, const QString& html, const QUrl& baseURL, const QString& folder,
             const QHash<QUrl, QByteArray>& ownResources)
{
    GuardedDocument page(folder);
    page.setUndoRedoEnabled(false);
    page.setBaseUrl(baseURL);
    for (auto resource = ownResources.begin(); resource != ownResources.end(); ++resource)
        page.addResource(QTextDocument::ImageResource, resource.key(), resource.value());
    page.setHtml(html);
    const std::vector<Picture> pictures = KeepShowablePictures(page);

    // The copy is made the way QTextDocument::clone makes one; its pictures are in place before
    // anything asks for them, so the copy never loads one itself.
    document.clear();
    document.setBaseUrl(baseURL);
    for (const Picture& picture : pictures)
        document.addResource(QTextDocument::ImageResource, picture.url, picture.image);
    document.setMetaInformation(QTextDocument::DocumentTitle, page.metaInformation(QTextDocument::DocumentTitle));
    document.setDefaultFont(page.defaultFont());
    if (!page.isEmpty())
        QTextCursor(&document).insertFragment(QTextDocumentFragment(&page));
    document.rootFrame()->setFrameFormat(page.rootFrame()->frameFormat());
}

} // namespace LinkedResources
