#pragma once

#include <QByteArray>
#include <QString>

#include <libxml/tree.h>

#include <initializer_list>
#include <memory>

// XML parts of office documents parsed with libxml2 as untrusted input: no network, no external
// DTD, no entity substitution, libxml2's default depth and size bounds.
namespace XmlTree {

struct DocumentDeleter {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
using Document = std::unique_ptr<xmlDoc, DocumentDeleter>;

Document Parse(const QByteArray& bytes, QString* error = nullptr);

xmlNode* Root(const Document& document);

// An element of that local name whose namespace is one of the given ones.
bool Is(const xmlNode* node, const char* localName, std::initializer_list<const char*> namespaces);
// An element of that local name, in whatever namespace.
bool IsNamed(const xmlNode* node, const char* localName);
// The first child element of that local name in one of the namespaces.
xmlNode* Child(const xmlNode* node, const char* localName, std::initializer_list<const char*> namespaces);
// Attribute by local name in one of the namespaces (an empty namespace means no namespace).
QString Attribute(const xmlNode* node, const char* localName, std::initializer_list<const char*> namespaces);
bool HasAttribute(const xmlNode* node, const char* localName, std::initializer_list<const char*> namespaces);
// The text content of an element and its descendants.
QString Text(const xmlNode* node);

} // namespace XmlTree
