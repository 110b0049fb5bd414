#include "toolkit/text/TextDocumentTypes.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

#include <utility>

namespace TextDocumentTypes {

namespace {

struct CodeIdentifiers {
    uint32_t code;
    std::initializer_list<const char*> identifiers;
};

// Text document codes in the order of comparison.
const CodeIdentifiers kTable[] = {
    {kRTF, {"public.rtf"}},
    {kRTFD, {"com.apple.rtfd"}},
    {kHTML, {"public.html"}},
    {kText, {"public.text"}},
    {kPlainText,
     {"public.plain-text", "com.apple.log", "com.apple.crashreport", "com.apple.panicreport", "com.apple.hangreport",
      "com.apple.spinreport", "com.apple.aslquery"}},
    {kWebArchive, {"com.apple.webarchive"}},
    {kODT, {"org.oasis-open.opendocument.text", "org.oasis.opendocument.text", "org.oasis-open.opendocument"}},
    {kODTTemplate, {"org.oasis-open.opendocument.text-template"}},
    {kOpenOfficeText, {"org.openoffice.text"}},
    {kOpenOfficeTextTemplate, {"org.openoffice.text-template"}},
    {kDOCX,
     {"org.openxmlformats.wordprocessingml.document", "org.openxmlformats.wordprocessingml.document.macroenabled"}},
    {kWordML, {"com.microsoft.word.wordml"}},
    {kDOC, {"com.microsoft.word.doc"}},
    {kMacPlainText, {"com.apple.traditional-mac-plain-text"}},
    {kOfficeOpenXMLTemplate,
     {"org.openxmlformats.wordprocessingml.template", "org.openxmlformats.wordprocessingml.template.macroenabled",
      "org.openxmlformats.spreadsheetml.template", "org.openxmlformats.spreadsheetml.template.macroenabled"}},
};

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

QString IdentifierOfMimeType(const QMimeType& type)
{
    const std::pair<const char*, const char*> byMime[] = {
        {"text/rtf", "public.rtf"},
        {"application/rtf", "public.rtf"},
        {"text/html", "public.html"},
        {"application/xhtml+xml", "public.html"},
        {"application/vnd.oasis.opendocument.text", "org.oasis-open.opendocument.text"},
        {"application/vnd.oasis.opendocument.text-template", "org.oasis-open.opendocument.text-template"},
        {"application/vnd.openxmlformats-officedocument.wordprocessingml.document",
         "org.openxmlformats.wordprocessingml.document"},
        {"application/msword", "com.microsoft.word.doc"},
        {"text/plain", "public.plain-text"},
    };
    for (const auto& [mime, identifier] : byMime) {
        if (type.inherits(QString::fromLatin1(mime)))
            return QString::fromLatin1(identifier);
    }
    return {};
}

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

uint32_t DocumentTypeFromUTI(const QString& identifier)
{
    for (const auto& entry : kTable) {
        for (const char* candidate : entry.identifiers) {
            if (identifier == QLatin1String(candidate))
                return entry.code;
        }
    }
    return kUnknown;
}

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
    const QMimeDatabase database;
    return IdentifierOfMimeType(database.mimeTypeForFile(info, QMimeDatabase::MatchContent));
}

uint32_t DocumentTypeOfPath(const QString& path)
{
    return DocumentTypeFromUTI(TypeIdentifierOfPath(path));
}

} // namespace TextDocumentTypes
