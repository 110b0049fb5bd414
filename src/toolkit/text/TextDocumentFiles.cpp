#include "toolkit/text/TextDocumentFiles.h"

#include "toolkit/helpers/ImageTypeCodes.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

#include <utility>

namespace {

// Extensions whose identifier the MIME database does not give in the vocabulary's terms.
const std::pair<const char*, const char*> kExtensionIdentifiers[] = {
    {"rtf", "public.rtf"},
    {"rtfd", "com.apple.rtfd"},
    {"htm", "public.html"},
    {"html", "public.html"},
    {"xhtml", "public.html"},
    {"txt", "public.plain-text"},
    {"text", "public.plain-text"},
    {"log", "com.apple.log"},
    {"webarchive", "com.apple.webarchive"},
    {"odt", "org.oasis-open.opendocument.text"},
    {"ott", "org.oasis-open.opendocument.text-template"},
    {"sxw", "org.openoffice.text"},
    {"stw", "org.openoffice.text-template"},
    {"docx", "org.openxmlformats.wordprocessingml.document"},
    {"docm", "org.openxmlformats.wordprocessingml.document.macroenabled"},
    {"doc", "com.microsoft.word.doc"},
    {"dotx", "org.openxmlformats.wordprocessingml.template"},
    {"dotm", "org.openxmlformats.wordprocessingml.template.macroenabled"},
};

// Word 2003 XML: an XML file whose root is in the WordML namespace.
bool LooksLikeWordML(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(4096);
    return head.contains("<w:wordDocument") || head.contains("schemas.microsoft.com/office/word/2003/wordml");
}

} // namespace

namespace TextDocumentFiles {

QString TypeIdentifierOfPath(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    const QString suffix = info.suffix().toLower();
    if (info.isDir())
        return suffix == QLatin1String("rtfd") ? QStringLiteral("com.apple.rtfd") : QString();
    if (suffix == QLatin1String("xml") && LooksLikeWordML(path))
        return QStringLiteral("com.microsoft.word.wordml");
    for (const auto& [extension, identifier] : kExtensionIdentifiers) {
        if (suffix == QLatin1String(extension))
            return QString::fromLatin1(identifier);
    }
    return TypeIdentifierOfContent(QUrl::fromLocalFile(path));
}

std::uint32_t DocumentTypeOfPath(const QString& path)
{
    return DocumentTypeFromUTI(TypeIdentifierOfPath(path));
}

std::optional<QByteArray> ReadAtMost(const QString& path, std::int64_t limit, QString* error)
{
    // A device or a pipe has no size to check beforehand, and may never end.
    if (!QFileInfo(path).isFile()) {
        if (error)
            *error = QStringLiteral("not a regular file");
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    if (file.size() > limit) {
        if (error)
            *error = QStringLiteral("document too large");
        return std::nullopt;
    }
    return file.readAll();
}

bool Save(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace TextDocumentFiles
