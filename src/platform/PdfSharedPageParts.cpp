#include "platform/PdfSharedPageParts.h"

#include <QCryptographicHash>

#include <array>
#include <exception>
#include <optional>

namespace {

// The keys of a page whose values repeat from page to page; the resources are shared whole or,
// when some of them are a page's own, entry by entry.
constexpr std::array<const char*, 6> kPageKeys{"/MediaBox", "/CropBox", "/BleedBox", "/TrimBox", "/ArtBox", "/Group"};
const char* const kResources = "/Resources";

// Deeper than resource dictionaries go; a loop of references ends here too.
constexpr int kDeepestPart = 16;
// A part larger than this is no dictionary that repeats from page to page.
constexpr std::size_t kLongestPart = 64 * 1024;

// The object as PDF text with every reference replaced by what it names; false when it holds a
// stream, or is too deep or too long to be one of the small parts that repeat.
bool appendPlainText(QPDFObjectHandle object, std::string& text, int depth)
{
    if (depth > kDeepestPart || text.size() > kLongestPart)
        return false;
    if (object.isArray()) {
        text += '[';
        for (QPDFObjectHandle item : object.aitems()) {
            if (!appendPlainText(item, text, depth + 1))
                return false;
            text += ' ';
        }
        text += ']';
        return true;
    }
    if (object.isDictionary()) {
        // Keys in order, so two dictionaries that say the same read the same.
        text += "<<";
        for (auto [key, value] : object.ditems()) {
            if (value.isNull())
                continue;
            text += QPDFObjectHandle::newName(key).unparse();
            text += ' ';
            if (!appendPlainText(value, text, depth + 1))
                return false;
            text += ' ';
        }
        text += ">>";
        return true;
    }
    if (object.isStream() || !object.isScalar())
        return false;
    text += object.unparseResolved();
    return true;
}

std::optional<std::string> plainText(QPDFObjectHandle object)
{
    std::string text;
    try {
        if (appendPlainText(object, text, 0))
            return text;
    } catch (const std::exception&) {
        // A damaged object stays with its page.
    }
    return std::nullopt;
}

} // namespace

PdfSharedPageParts::PdfSharedPageParts(QPDF& output)
    : m_output(output)
{
}

PdfSharedPageParts::~PdfSharedPageParts() = default;

PdfSharedPageParts::Taken::~Taken()
{
    for (Part& part : m_parts) {
        try {
            part.holder.replaceKey(part.key, part.printed);
        } catch (const std::exception&) {
            // The printed document is thrown away after its pages are copied.
        }
    }
}

std::unique_ptr<PdfSharedPageParts::Taken> PdfSharedPageParts::take(QPDF& source, QPDFObjectHandle sourcePage)
{
    // What the page inherits from its page tree becomes its own first, as the copy would make it.
    source.pushInheritedAttributesToPage();
    auto taken = std::make_unique<Taken>();
    auto share = [&](QPDFObjectHandle holder, const std::string& key, bool inResources) {
        QPDFObjectHandle printed = holder.getKey(key);
        if (printed.isNull())
            return true;
        const std::optional<std::string> text = plainText(printed);
        const std::optional<QPDFObjectHandle> shared = text ? sharedPart(*text) : std::nullopt;
        if (!shared)
            return false;
        taken->m_parts.push_back({holder, key, printed, *shared, inResources});
        return true;
    };
    for (const char* key : kPageKeys)
        share(sourcePage, key, false);
    QPDFObjectHandle resources = sourcePage.getKey(kResources);
    if (!share(sourcePage, kResources, false) && resources.isDictionary()) {
        for (const std::string& key : resources.getKeys())
            share(resources, key, true);
    }
    if (taken->m_parts.empty())
        return nullptr;
    for (Taken::Part& part : taken->m_parts)
        part.holder.removeKey(part.key);
    return taken;
}

void PdfSharedPageParts::pageCopied(const Taken& taken, QPDFObjectHandle copiedPage)
{
    QPDFObjectHandle resources = copiedPage.getKey(kResources);
    for (const Taken::Part& part : taken.m_parts) {
        if (!part.inResources)
            copiedPage.replaceKey(part.key, part.shared);
        else if (resources.isDictionary())
            resources.replaceKey(part.key, part.shared);
    }
}

std::optional<QPDFObjectHandle> PdfSharedPageParts::sharedPart(const std::string& plainText)
{
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(plainText.data(), static_cast<qsizetype>(plainText.size())), QCryptographicHash::Sha256);
    const auto found = m_shared.find(digest);
    if (found != m_shared.end())
        return found->second;
    try {
        QPDFObjectHandle part = m_output.makeIndirectObject(QPDFObjectHandle::parse(plainText, "a shared page part"));
        m_shared.emplace(digest, part);
        return part;
    } catch (const std::exception&) {
        // What qpdf cannot read back as it wrote it stays with its page.
        return std::nullopt;
    }
}

void PdfSharedPageParts::shareValues(QPDFObjectHandle copiedPage)
{
    try {
        shareValuesOf(copiedPage);
        QPDFObjectHandle contents = copiedPage.getKey("/Contents");
        if (contents.isStream()) {
            shareValuesOf(contents.getDict());
        } else if (contents.isArray()) {
            for (QPDFObjectHandle stream : contents.aitems()) {
                if (stream.isStream())
                    shareValuesOf(stream.getDict());
            }
        }
    } catch (const std::exception&) {
        // What is not shared stays the page's own: it reads the same.
    }
}

void PdfSharedPageParts::shareValuesOf(QPDFObjectHandle dictionary)
{
    for (const std::string& key : dictionary.getKeys()) {
        QPDFObjectHandle value = dictionary.getKey(key);
        // Strings too would be plain, but are rarely the same on two pages.
        if (value.isIndirect() || !(value.isName() || value.isInteger() || value.isReal() || value.isBool()))
            continue;
        // The text tells 1 from 1.0 and /Page from (Page): a value reads back as it was.
        const std::string text = value.unparse();
        const auto [found, added] = m_values.try_emplace(text, value);
        if (!added)
            dictionary.replaceKey(key, found->second);
    }
}
