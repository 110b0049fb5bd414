#include "chm/XHTMLRepair.h"

#include <array>
#include <string_view>

namespace XHTMLRepair {
namespace {

// Elements the HTML parser never expects an end tag for: "/>" on them is harmless.
constexpr std::array<std::string_view, 19> kVoidElements{
    "area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr", "img",
    "input", "keygen", "link", "meta", "param", "source", "track", "wbr", "command"};

// Where a root element's namespace is looked for: an XHTML page names it on <html>, near the top.
constexpr qsizetype kNamespaceScanBytes = 4096;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_'
           || c == ':' || c == '.';
}

std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool isVoid(const std::string& name)
{
    for (const std::string_view element : kVoidElements) {
        if (name == element)
            return true;
    }
    return false;
}

// The end of the tag that starts at `from` (just past its name): the position of its ">", or npos.
// Quoted attribute values may hold ">".
std::size_t tagEnd(std::string_view text, std::size_t from)
{
    char quote = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            // Only a quote that opens an attribute value counts as one.
            std::size_t before = i;
            while (before > from && isSpace(text[before - 1]))
                --before;
            if (before > from && text[before - 1] == '=')
                quote = c;
        } else if (c == '>') {
            return i;
        }
    }
    return std::string_view::npos;
}

std::size_t findNoCase(std::string_view text, const std::string& what, std::size_t from)
{
    for (std::size_t at = text.find('<', from); at != std::string_view::npos; at = text.find('<', at + 1)) {
        if (lowered(text.substr(at, what.size())) == what)
            return at;
    }
    return std::string_view::npos;
}

} // namespace

bool isXHTML(const QByteArray& page)
{
    QByteArray start = page.left(kNamespaceScanBytes);
    if (start.startsWith("\xEF\xBB\xBF"))
        start.remove(0, 3);
    if (start.startsWith("<?xml"))
        return true;
    return start.contains("http://www.w3.org/1999/xhtml");
}

QByteArray closeSelfClosedElements(const QByteArray& page)
{
    const std::string_view text(page.constData(), static_cast<std::size_t>(page.size()));
    QByteArray out;
    out.reserve(page.size() + 64);
    std::size_t copied = 0;
    std::size_t position = 0;
    const auto copyUpTo = [&](std::size_t end) {
        out.append(text.data() + copied, static_cast<qsizetype>(end - copied));
        copied = end;
    };
    while ((position = text.find('<', position)) != std::string_view::npos) {
        const std::string_view rest = text.substr(position);
        if (rest.starts_with("<!--")) {
            const std::size_t end = text.find("-->", position + 4);
            position = end == std::string_view::npos ? text.size() : end + 3;
            continue;
        }
        if (rest.starts_with("<![CDATA[")) {
            const std::size_t end = text.find("]]>", position + 9);
            position = end == std::string_view::npos ? text.size() : end + 3;
            continue;
        }
        std::size_t nameEnd = position + 1;
        while (nameEnd < text.size() && isNameChar(text[nameEnd]))
            ++nameEnd;
        if (nameEnd == position + 1) {
            ++position;
            continue;
        }
        const std::string name = lowered(text.substr(position + 1, nameEnd - position - 1));
        const std::size_t end = tagEnd(text, nameEnd);
        if (end == std::string_view::npos)
            break;
        const bool selfClosed = end > nameEnd && text[end - 1] == '/';
        if (selfClosed && !isVoid(name)) {
            copyUpTo(end - 1);
            out.append('>');
            out.append("</");
            out.append(text.data() + position + 1, static_cast<qsizetype>(nameEnd - position - 1));
            out.append('>');
            copied = end + 1;
            position = end + 1;
            continue;
        }
        position = end + 1;
        // The contents of a script or style element are not markup.
        if (!selfClosed && (name == "script" || name == "style")) {
            const std::size_t close = findNoCase(text, "</" + name, position);
            position = close == std::string_view::npos ? text.size() : close;
        }
    }
    if (copied == 0)
        return page;
    copyUpTo(text.size());
    return out;
}

} // namespace XHTMLRepair
