#include "platform/PdfMergedDestinations.h"

#include "platform/PdfLinkObjects.h"
#include "platform/PdfNamedDestinations.h"

#include <algorithm>
#include <exception>

namespace {

// More names than any real document defines; a source with more keeps only these (its other
// places are lost), so a forged name tree cannot fill memory.
constexpr std::size_t kMaximumNamesPerSource = std::size_t{1} << 20;
// The longest destination kind, /FitR, takes four numbers after its name.
constexpr int kMaximumDestinationItems = 6;

// The name with "-n" after it, in the name's own encoding: a UTF-16 name stays UTF-16.
std::string suffixed(const std::string& name, int number)
{
    const std::string suffix = "-" + std::to_string(number);
    if (name.size() < 2 || name.compare(0, 2, "\xFE\xFF") != 0)
        return name + suffix;
    std::string wide = name;
    for (const char character : suffix) {
        wide.push_back('\0');
        wide.push_back(character);
    }
    return wide;
}

// A copy of a destination's item that belongs to no document: the numbers and names after the page.
QPDFObjectHandle detached(QPDFObjectHandle item)
{
    if (item.isName())
        return QPDFObjectHandle::newName(item.getName());
    if (item.isInteger())
        return QPDFObjectHandle::newInteger(item.getIntValue());
    if (item.isReal())
        return QPDFObjectHandle::newReal(item.getRealValue());
    return QPDFObjectHandle::newNull();
}

// A link's name as the places are known: qpdf reads a name tree's keys as UTF-8 whatever their
// encoding, so a string in UTF-16 or PDFDocEncoding is read the same way to meet its place.
std::string keyOf(QPDFObjectHandle name)
{
    return name.isName() ? name.getName().substr(1) : name.getUTF8Value();
}

} // namespace

PdfMergedDestinations::PdfMergedDestinations(QPDF& output)
    : m_output(output)
{
    try {
        QPDFObjectHandle dests = output.getRoot().getKey("/Dests");
        if (dests.isDictionary())
            m_destsDictionary = dests;
        PdfNamedDestinations(output).forEach([this](const std::string& name, QPDFObjectHandle) {
            m_usedNames.insert(name);
            return true;
        });
    } catch (const std::exception&) {
        // The names read before the damage are kept out of the way; the others cannot be looked up.
    }
}

PdfMergedDestinations::~PdfMergedDestinations() = default;

void PdfMergedDestinations::pageCopied(QPDF& source, int sourcePage, QPDFObjectHandle copiedPage)
{
    try {
        Source& names = sourceOf(source);
        rewriteLinks(names, copiedPage);
        addPlaces(names, sourcePage, copiedPage);
    } catch (const std::exception&) {
        // A damaged name tree or annotation list costs the links it holds, never the page.
    }
}

PdfMergedDestinations::Source& PdfMergedDestinations::sourceOf(QPDF& source)
{
    const auto [found, added] = m_sources.try_emplace(source.getUniqueId());
    Source& names = found->second;
    if (!added)
        return names;
    std::map<QPDFObjGen, int> pageIndexes;
    const std::vector<QPDFObjectHandle>& pages = source.getAllPages();
    for (std::size_t index = 0; index < pages.size(); ++index)
        pageIndexes.emplace(pages[index].getObjGen(), static_cast<int>(index));
    std::size_t count = 0;
    PdfNamedDestinations(source).forEach([&](const std::string& name, QPDFObjectHandle destination) {
        if (++count > kMaximumNamesPerSource)
            return false;
        if (!destination.isArray() || destination.getArrayNItems() < 1)
            return true;
        QPDFObjectHandle page = destination.getArrayItem(0);
        int pageIndex = -1;
        if (page.isIndirect()) {
            const auto known = pageIndexes.find(page.getObjGen());
            pageIndex = known == pageIndexes.end() ? -1 : known->second;
        } else if (page.isInteger() && page.getIntValue() >= 0 && page.getIntValue() < static_cast<long long>(pages.size())) {
            // Some writers give the page's number, which viewers follow within the document.
            pageIndex = static_cast<int>(page.getIntValue());
        }
        if (pageIndex < 0)
            return true;
        Place place{name, {}};
        for (int item = 1; item < std::min(destination.getArrayNItems(), kMaximumDestinationItems); ++item)
            place.rest.push_back(detached(destination.getArrayItem(item)));
        names.placesByPage[pageIndex].push_back(std::move(place));
        return true;
    });
    return names;
}

const std::string& PdfMergedDestinations::outputName(Source& source, const std::string& name)
{
    const auto known = source.outputNames.find(name);
    if (known != source.outputNames.end())
        return known->second;
    std::string candidate = name;
    if (m_usedNames.count(candidate) != 0) {
        // Counting on from the last renaming keeps many files that share a name from each trying
        // every number taken before.
        int& number = m_nextNumbers.try_emplace(name, 2).first->second;
        do
            candidate = suffixed(name, number++);
        while (m_usedNames.count(candidate) != 0);
    }
    m_usedNames.insert(candidate);
    return source.outputNames.emplace(name, candidate).first->second;
}

void PdfMergedDestinations::rewriteLinks(Source& source, QPDFObjectHandle copiedPage)
{
    QPDFObjectHandle annotations = copiedPage.getKey("/Annots");
    if (!annotations.isArray())
        return;
    for (int index = 0; index < annotations.getArrayNItems(); ++index) {
        QPDFObjectHandle annotation = annotations.getArrayItem(index);
        if (!PdfLinkObjects::isLinkAnnotation(annotation))
            continue;
        QPDFObjectHandle holder = annotation;
        std::string key = "/Dest";
        if (annotation.getKey("/Dest").isNull()) {
            holder = annotation.getKey("/A");
            key = "/D";
            if (!holder.isDictionary() || !holder.getKey("/S").isNameAndEquals("/GoTo"))
                continue;
        }
        QPDFObjectHandle name = holder.getKey(key);
        if (!name.isName() && !name.isString())
            continue;
        if (!annotation.isIndirect()) {
            annotation = m_output.makeIndirectObject(annotation);
            annotations.setArrayItem(index, annotation);
            if (key == "/Dest")
                holder = annotation;
        }
        // Annotations and actions may be shared: each name is given its output name only once.
        if (!m_rewritten.insert(holder.isIndirect() ? holder.getObjGen() : annotation.getObjGen()).second)
            continue;
        holder.replaceKey(key, nameOf(outputName(source, keyOf(name))));
    }
}

void PdfMergedDestinations::addPlaces(Source& source, int sourcePage, QPDFObjectHandle copiedPage)
{
    const auto places = source.placesByPage.find(sourcePage);
    if (places == source.placesByPage.end())
        return;
    for (const Place& place : places->second) {
        QPDFObjectHandle destination = QPDFObjectHandle::newArray();
        destination.appendItem(copiedPage);
        for (const QPDFObjectHandle& item : place.rest)
            destination.appendItem(item);
        define(outputName(source, place.name), destination);
    }
    source.placesByPage.erase(places);
}

QPDFObjectHandle PdfMergedDestinations::nameOf(const std::string& outputName)
{
    // /Dests is keyed by names, a name tree by strings, encoded as the tree's own keys are.
    return m_destsDictionary.isDictionary() ? QPDFObjectHandle::newName("/" + outputName)
                                            : QPDFObjectHandle::newUnicodeString(outputName);
}

void PdfMergedDestinations::define(const std::string& outputName, QPDFObjectHandle destination)
{
    if (m_destsDictionary.isDictionary()) {
        m_destsDictionary.replaceKey("/" + outputName, destination);
        return;
    }
    if (!m_tree) {
        QPDFObjectHandle root = m_output.getRoot();
        QPDFObjectHandle names = root.getKey("/Names");
        if (!names.isDictionary()) {
            names = m_output.makeIndirectObject(QPDFObjectHandle::newDictionary());
            root.replaceKey("/Names", names);
        }
        QPDFObjectHandle tree = names.getKey("/Dests");
        if (tree.isDictionary()) {
            m_tree = std::make_unique<QPDFNameTreeObjectHelper>(tree, m_output);
        } else {
            m_tree = std::make_unique<QPDFNameTreeObjectHelper>(QPDFNameTreeObjectHelper::newEmpty(m_output));
            names.replaceKey("/Dests", m_tree->getObjectHandle());
        }
    }
    m_tree->insert(outputName, destination);
}
