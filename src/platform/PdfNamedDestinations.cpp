#include "platform/PdfNamedDestinations.h"

#include <set>

namespace {

QPDFObjectHandle explicitDestination(QPDFObjectHandle value)
{
    return value.isDictionary() ? value.getKey("/D") : value;
}

} // namespace

QPDFObjectHandle PdfNamedDestinations::targetOf(QPDFObjectHandle holder)
{
    QPDFObjectHandle destination = holder.getKey("/Dest");
    if (destination.isNull()) {
        QPDFObjectHandle action = holder.getKey("/A");
        if (action.isDictionary() && action.getKey("/S").isNameAndEquals("/GoTo"))
            destination = action.getKey("/D");
    }
    return destination;
}

QPDFObjectHandle PdfNamedDestinations::resolve(QPDFObjectHandle name)
{
    if (!name.isName() && !name.isString())
        return QPDFObjectHandle::newNull();
    // Name tree keys are byte strings: compared as stored, never re-encoded.
    const std::string key = name.isName() ? name.getName().substr(1) : name.getStringValue();
    QPDFObjectHandle value = QPDFObjectHandle::newNull();
    QPDFObjectHandle dests = m_document.getRoot().getKey("/Dests");
    if (dests.isDictionary())
        value = dests.getKey("/" + key);
    if (value.isNull() && nameTree())
        m_nameTree->findObject(key, value);
    return explicitDestination(value);
}

void PdfNamedDestinations::forEach(const std::function<bool(const std::string& name, QPDFObjectHandle destination)>& visit)
{
    std::set<std::string> seen;
    QPDFObjectHandle dests = m_document.getRoot().getKey("/Dests");
    if (dests.isDictionary()) {
        for (const std::string& key : dests.getKeys()) {
            seen.insert(key.substr(1));
            if (!visit(key.substr(1), explicitDestination(dests.getKey(key))))
                return;
        }
    }
    if (!nameTree())
        return;
    for (const auto& [key, value] : *m_nameTree) {
        if (seen.insert(key).second && !visit(key, explicitDestination(value)))
            return;
    }
}

QPDFNameTreeObjectHelper* PdfNamedDestinations::nameTree()
{
    if (!m_nameTreeRead) {
        m_nameTreeRead = true;
        QPDFObjectHandle names = m_document.getRoot().getKey("/Names");
        // Not repaired when damaged: looking a name up must not change the document.
        if (names.isDictionary() && names.getKey("/Dests").isDictionary())
            m_nameTree = std::make_unique<QPDFNameTreeObjectHelper>(names.getKey("/Dests"), m_document, false);
    }
    return m_nameTree.get();
}
