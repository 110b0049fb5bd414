#include "chm/SitemapParser.h"

#include "chm/PageEncoding.h"
#include "chm/SitemapTreeBuilder.h"
#include "platform/TextEncoding.h"

#include <libxml/HTMLparser.h>

#include <algorithm>
#include <limits>

namespace {

const QString kDefaultEncoding = QStringLiteral("iso_8859_1");

QString fromXml(const xmlChar* text)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(text));
}

bool nameIs(const xmlChar* name, const char* wanted)
{
    return name != nullptr && xmlStrcasecmp(name, reinterpret_cast<const xmlChar*>(wanted)) == 0;
}

void handleParam(SitemapTreeBuilder& builder, const xmlChar** attributes)
{
    const xmlChar* paramName = nullptr;
    const xmlChar* paramValue = nullptr;
    for (const xmlChar** pair = attributes; pair[0] != nullptr; pair += 2) {
        if (nameIs(pair[0], "name"))
            paramName = pair[1];
        else if (nameIs(pair[0], "value"))
            paramValue = pair[1];
    }
    if (paramName != nullptr && paramValue != nullptr)
        builder.setParameter(fromXml(paramName), fromXml(paramValue));
}

void startElement(void* context, const xmlChar* name, const xmlChar** attributes)
{
    auto& builder = *static_cast<SitemapTreeBuilder*>(context);
    if (nameIs(name, "ul"))
        builder.push_item();
    else if (nameIs(name, "li"))
        builder.new_item();
    else if (nameIs(name, "param") && attributes != nullptr)
        handleParam(builder, attributes);
}

void endElement(void* context, const xmlChar* name)
{
    if (nameIs(name, "ul"))
        static_cast<SitemapTreeBuilder*>(context)->pop_item();
}

void ignoreError(void*, xmlErrorPtr) {}

bool hasMultiByteUtf8(const QByteArray& data)
{
    const bool beyondAscii = std::any_of(data.cbegin(), data.cend(), [](char byte) { return (byte & 0x80) != 0; });
    return beyondAscii && TextEncoding::decodeStrict(data, QStringLiteral("UTF-8")).has_value();
}

// A sitemap is read in the charset it declares, when its bytes are text in it; bytes that are valid UTF-8 with multi-byte
// sequences (which text in a code page almost never is) are UTF-8, as tools that write sitemaps
// today leave them without saying so; the code page of the file's language is the fallback.
QString sitemapEncoding(const QByteArray& data, const QString& encodingName)
{
    const PageEncoding::Declaration declared = PageEncoding::declaredEncoding(data);
    // A declaration the bytes contradict (often a template's, copied unchanged) is passed over.
    if (declared.source != PageEncoding::Source::None && TextEncoding::isKnown(declared.name)
        && TextEncoding::decodeStrict(data.mid(declared.markLength), declared.name).has_value())
        return declared.name;
    if (hasMultiByteUtf8(data))
        return QStringLiteral("UTF-8");
    return TextEncoding::isKnown(encodingName) ? encodingName : kDefaultEncoding;
}

QByteArray toUtf8(const QByteArray& data, const QString& encodingName)
{
    QString text = TextEncoding::decodeLossy(data, sitemapEncoding(data, encodingName)).value_or(QString());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1); // a byte-order mark is no text
    return text.toUtf8();
}

} // namespace

namespace SitemapParser {

void parse(const QByteArray& data, const QString& encodingName, SitemapTreeBuilder& builder)
{
    const QByteArray utf8 = toUtf8(data, encodingName);
    if (utf8.isEmpty() || utf8.size() > std::numeric_limits<int>::max())
        return;

    // Only element starts and ends are wanted; errors are not reported anywhere.
    htmlSAXHandler handler{};
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElement = startElement;
    handler.endElement = endElement;
    handler.serror = ignoreError;
    // The text is UTF-8 now, and naming that encoding makes the parser ignore any <meta> charset.
    const htmlDocPtr document =
        htmlSAXParseDoc(reinterpret_cast<const xmlChar*>(utf8.constData()), "UTF-8", &handler, &builder);
    if (document != nullptr)
        xmlFreeDoc(document);
}

} // namespace SitemapParser
