#include "toolkit/text/XmlTree.h"

#include "toolkit/text/TextReadLimits.h"

#include <libxml/parser.h>

#include <cstdint>
#include <cstring>

namespace XmlTree {

namespace {

bool InNamespace(const xmlNs* ns, std::initializer_list<const char*> namespaces)
{
    for (const char* candidate : namespaces) {
        if (!*candidate) {
            if (!ns)
                return true;
        } else if (ns && ns->href && std::strcmp(reinterpret_cast<const char*>(ns->href), candidate) == 0) {
            return true;
        }
    }
    return false;
}

const xmlAttr* FindAttribute(const xmlNode* node, const char* localName, std::initializer_list<const char*> namespaces)
{
    if (!node || node->type != XML_ELEMENT_NODE)
        return nullptr;
    for (const xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
        if (std::strcmp(reinterpret_cast<const char*>(attribute->name), localName) == 0
            && InNamespace(attribute->ns, namespaces))
            return attribute;
    }
    return nullptr;
}

// Start tags and empty-element tags: a '<' not followed by '/', '!' or '?'. Counted before the parse,
// so that a part of millions of tiny elements is refused before it becomes a tree.
std::int64_t ElementCount(const QByteArray& bytes)
{
    std::int64_t count = 0;
    const char* at = bytes.constData();
    const char* const end = at + bytes.size();
    while ((at = static_cast<const char*>(std::memchr(at, '<', static_cast<size_t>(end - at)))) != nullptr) {
        ++at;
        if (at < end && *at != '/' && *at != '!' && *at != '?')
            ++count;
    }
    return count;
}

} // namespace

Document Parse(const QByteArray& bytes, QString* error)
{
    if (bytes.size() > TextReadLimits::kMaxDocumentBytes) {
        if (error)
            *error = QStringLiteral("XML part too large");
        return nullptr;
    }
    if (ElementCount(bytes) > TextReadLimits::kMaxXmlElements) {
        if (error)
            *error = QStringLiteral("XML part of more elements than a document holds (at most %1)")
                         .arg(TextReadLimits::kMaxXmlElements);
        return nullptr;
    }
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA;
    Document document(xmlReadMemory(bytes.constData(), static_cast<int>(bytes.size()), nullptr, nullptr, options));
    if (!document && error) {
        const xmlError* last = xmlGetLastError();
        *error = QStringLiteral("malformed XML: ")
                 + (last && last->message ? QString::fromUtf8(last->message).trimmed() : QString());
    }
    if (document && !xmlDocGetRootElement(document.get())) {
        if (error)
            *error = QStringLiteral("XML part without content");
        return nullptr;
    }
    return document;
}

xmlNode* Root(const Document& document)
{
    return document ? xmlDocGetRootElement(document.get()) : nullptr;
}

bool Is(const xmlNode* node, const char* localName, std::initializer_list<const char*> namespaces)
{
    return IsNamed(node, localName) && InNamespace(node->ns, namespaces);
}

bool IsNamed(const xmlNode* node, const char* localName)
{
    return node && node->type == XML_ELEMENT_NODE
           && std::strcmp(reinterpret_cast<const char*>(node->name), localName) == 0;
}

xmlNode* Child(const xmlNode* node, const char* localName, std::initializer_list<const char*> namespaces)
{
    if (!node)
        return nullptr;
    for (xmlNode* child = node->children; child; child = child->next) {
        if (Is(child, localName, namespaces))
            return child;
    }
    return nullptr;
}

QString Attribute(const xmlNode* node, const char* localName, std::initializer_list<const char*> namespaces)
{
    const xmlAttr* attribute = FindAttribute(node, localName, namespaces);
    if (!attribute)
        return {};
    QString value;
    for (const xmlNode* child = attribute->children; child; child = child->next) {
        if (child->content)
            value += QString::fromUtf8(reinterpret_cast<const char*>(child->content));
    }
    return value;
}

bool HasAttribute(const xmlNode* node, const char* localName, std::initializer_list<const char*> namespaces)
{
    return FindAttribute(node, localName, namespaces) != nullptr;
}

QString Text(const xmlNode* node)
{
    if (!node)
        return {};
    xmlChar* content = xmlNodeGetContent(node);
    const QString text = content ? QString::fromUtf8(reinterpret_cast<const char*>(content)) : QString();
    xmlFree(content);
    return text;
}

} // namespace XmlTree
