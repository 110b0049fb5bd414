#include "chm/PageEncoding.h"

#include "platform/TextEncoding.h"

#include <QStringDecoder>

#include <optional>
#include <string_view>

namespace PageEncoding {
namespace {

// The engine looks for a page's declaration in its head; a page whose head runs longer than this
// declares nothing that counts.
constexpr qsizetype kMaxScannedBytes = 16 * 1024;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithNoCase(std::string_view text, std::size_t at, std::string_view prefix)
{
    if (at + prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (lower(text[at + i]) != prefix[i])
            return false;
    }
    return true;
}

std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = lower(c);
    return out;
}

// A page that says it is UTF-16 in ASCII-compatible markup cannot be: it is read as UTF-8, as
// browsers do.
QString usableDeclaredName(const std::string& name)
{
    const std::string key = lowered(name);
    if (key.starts_with("utf-16") || key.starts_with("utf16") || key.starts_with("utf-32"))
        return QStringLiteral("UTF-8");
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())).trimmed();
}

// Reads markup attributes the way the engine's prescan does: name, optional "=", value in quotes
// or up to a blank or ">".
class AttributeReader {
public:
    AttributeReader(std::string_view text, std::size_t position)
        : m_text(text)
        , m_position(position)
    {}

    // False at the tag's end (m_position is then just past ">") or the text's.
    bool next(std::string& name, std::string& value)
    {
        name.clear();
        value.clear();
        while (m_position < m_text.size() && (isSpace(m_text[m_position]) || m_text[m_position] == '/'))
            ++m_position;
        if (m_position >= m_text.size())
            return false;
        if (m_text[m_position] == '>') {
            ++m_position;
            return false;
        }
        while (m_position < m_text.size()) {
            const char c = m_text[m_position];
            if (c == '=' && !name.empty())
                break;
            if (isSpace(c) || c == '/' || c == '>')
                break;
            name += lower(c);
            ++m_position;
        }
        skipSpaces();
        if (m_position >= m_text.size() || m_text[m_position] != '=')
            return true;
        ++m_position;
        skipSpaces();
        if (m_position >= m_text.size())
            return true;
        const char quote = m_text[m_position];
        if (quote == '"' || quote == '\'') {
            const std::size_t end = m_text.find(quote, m_position + 1);
            const std::size_t stop = end == std::string_view::npos ? m_text.size() : end;
            value = m_text.substr(m_position + 1, stop - m_position - 1);
            m_position = end == std::string_view::npos ? m_text.size() : end + 1;
            return true;
        }
        while (m_position < m_text.size() && !isSpace(m_text[m_position]) && m_text[m_position] != '>')
            value += m_text[m_position++];
        return true;
    }

    std::size_t position() const { return m_position; }

private:
    void skipSpaces()
    {
        while (m_position < m_text.size() && isSpace(m_text[m_position]))
            ++m_position;
    }

    std::string_view m_text;
    std::size_t m_position;
};

// The charset named by a Content-Type value ("text/html; charset=utf-8").
std::optional<std::string> charsetOfContentType(std::string_view content)
{
    for (std::size_t at = 0; at + 7 <= content.size(); ++at) {
        if (!startsWithNoCase(content, at, "charset"))
            continue;
        std::size_t position = at + 7;
        while (position < content.size() && isSpace(content[position]))
            ++position;
        if (position >= content.size() || content[position] != '=')
            continue;
        ++position;
        while (position < content.size() && isSpace(content[position]))
            ++position;
        if (position >= content.size())
            return std::nullopt;
        const char quote = content[position];
        if (quote == '"' || quote == '\'') {
            const std::size_t end = content.find(quote, position + 1);
            if (end == std::string_view::npos)
                return std::nullopt;
            return std::string(content.substr(position + 1, end - position - 1));
        }
        std::size_t end = position;
        while (end < content.size() && !isSpace(content[end]) && content[end] != ';')
            ++end;
        return std::string(content.substr(position, end - position));
    }
    return std::nullopt;
}

// The charset a <meta> element declares; reads its attributes from `position` (after "<meta").
std::optional<std::string> metaCharset(std::string_view text, std::size_t& position)
{
    AttributeReader reader(text, position);
    std::string name;
    std::string value;
    bool gotPragma = false;
    bool needPragma = false;
    std::optional<std::string> charset;
    while (reader.next(name, value)) {
        if (name == "http-equiv" && lowered(value) == "content-type") {
            gotPragma = true;
        } else if (name == "charset" && !charset) {
            charset = value;
            needPragma = false;
        } else if (name == "content" && !charset) {
            charset = charsetOfContentType(value);
            needPragma = charset.has_value();
        }
    }
    position = reader.position();
    if (!charset || (needPragma && !gotPragma) || charset->empty())
        return std::nullopt;
    return charset;
}

std::optional<std::string> xmlDeclarationEncoding(std::string_view text)
{
    if (!text.starts_with("<?xml"))
        return std::nullopt;
    const std::size_t end = text.find("?>");
    if (end == std::string_view::npos)
        return std::nullopt;
    const std::string_view declaration = text.substr(0, end);
    const std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos)
        return std::nullopt;
    std::size_t position = at + 8;
    while (position < declaration.size() && isSpace(declaration[position]))
        ++position;
    if (position >= declaration.size() || declaration[position] != '=')
        return std::nullopt;
    ++position;
    while (position < declaration.size() && isSpace(declaration[position]))
        ++position;
    if (position >= declaration.size() || (declaration[position] != '"' && declaration[position] != '\''))
        return std::nullopt;
    const std::size_t close = declaration.find(declaration[position], position + 1);
    if (close == std::string_view::npos)
        return std::nullopt;
    return std::string(declaration.substr(position + 1, close - position - 1));
}

std::size_t skipPast(std::string_view text, std::size_t from, std::string_view what)
{
    const std::size_t found = text.find(what, from);
    return found == std::string_view::npos ? text.size() : found + what.size();
}

// The prescan of the head for a <meta> declaration: comments and other tags are passed over;
// the body's start ends it.
std::optional<std::string> scanForMeta(std::string_view text)
{
    std::size_t position = 0;
    while (position < text.size()) {
        position = text.find('<', position);
        if (position == std::string_view::npos)
            return std::nullopt;
        if (text.substr(position).starts_with("<!--")) {
            position = skipPast(text, position + 2, "-->");
        } else if (startsWithNoCase(text, position, "<meta") && position + 5 < text.size()
                   && (isSpace(text[position + 5]) || text[position + 5] == '/')) {
            position += 5;
            if (std::optional<std::string> charset = metaCharset(text, position))
                return charset;
        } else if (position + 1 < text.size() && isAsciiLetter(text[position + 1])) {
            if (startsWithNoCase(text, position, "<body")
                && (position + 5 >= text.size() || !isAsciiLetter(text[position + 5])))
                return std::nullopt;
            std::size_t end = position + 1;
            while (end < text.size() && !isSpace(text[end]) && text[end] != '>')
                ++end;
            AttributeReader reader(text, end);
            std::string name;
            std::string value;
            while (reader.next(name, value)) {
            }
            position = reader.position();
        } else if (text.substr(position).starts_with("</") || text.substr(position).starts_with("<!")
                   || text.substr(position).starts_with("<?")) {
            position = skipPast(text, position + 1, ">");
        } else {
            ++position;
        }
    }
    return std::nullopt;
}

Declaration byteOrderMark(const QByteArray& page)
{
    if (page.startsWith("\xEF\xBB\xBF"))
        return {Source::ByteOrderMark, QStringLiteral("UTF-8"), 3};
    if (page.startsWith("\xFF\xFE"))
        return {Source::ByteOrderMark, QStringLiteral("UTF-16LE"), 2};
    if (page.startsWith("\xFE\xFF"))
        return {Source::ByteOrderMark, QStringLiteral("UTF-16BE"), 2};
    return {};
}

std::optional<QString> decodeWith(const QByteArray& bytes, const QString& name)
{
    if (name == QLatin1String("UTF-16BE")) {
        QStringDecoder decoder(QStringDecoder::Utf16BE);
        return QString(decoder(bytes));
    }
    return TextEncoding::decodeLossy(bytes, name);
}

} // namespace

Declaration declaredEncoding(const QByteArray& page)
{
    if (Declaration mark = byteOrderMark(page); mark.source != Source::None)
        return mark;
    const std::string_view text(page.constData(), static_cast<std::size_t>(std::min(page.size(), kMaxScannedBytes)));
    if (const std::optional<std::string> name = xmlDeclarationEncoding(text))
        return {Source::XmlDeclaration, usableDeclaredName(*name), 0};
    if (const std::optional<std::string> name = scanForMeta(text))
        return {Source::Meta, usableDeclaredName(*name), 0};
    return {};
}

Decision decide(const QByteArray& page, const QString& defaultName, bool chosen)
{
    const Declaration declared = declaredEncoding(page);
    // The engine reads a marked page in the mark's encoding whatever it is told, as every browser
    // does: a mark is never wrong about the bytes after it, so not even the user's choice beats it.
    if (declared.source == Source::ByteOrderMark)
        return {declared.name, false};
    if (chosen && !defaultName.isEmpty())
        return {defaultName, true};
    switch (declared.source) {
    case Source::ByteOrderMark: // decided above
        break;
    case Source::XmlDeclaration:
    case Source::Meta:
        // Announced as declared, so that the engine reads exactly what the index reads; a name this
        // application does not know is left to the engine.
        if (TextEncoding::isKnown(declared.name))
            return {declared.name, true};
        return {QString(), false};
    case Source::None:
        break;
    }
    return {defaultName, !defaultName.isEmpty()};
}

QString decodePage(const QByteArray& page, const QString& defaultName, bool chosen)
{
    const Decision decision = decide(page, defaultName, chosen);
    if (!decision.name.isEmpty()) {
        if (std::optional<QString> text = decodeWith(page, decision.name)) {
            // A byte-order mark the engine honours is no text.
            if (text->startsWith(QChar(0xFEFF)))
                text->remove(0, 1);
            return *text;
        }
    }
    if (std::optional<QString> text = TextEncoding::decodeStrict(page, QStringLiteral("UTF-8")))
        return *text;
    return QString::fromLatin1(page);
}

} // namespace PageEncoding
