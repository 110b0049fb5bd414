#include "app/rating/JSONValueScan.h"

namespace {

// Four hexadecimal digits exactly: no sign, prefix or blanks.
std::optional<char16_t> parseHexUnit(QStringView digits)
{
    if (digits.size() != 4)
        return std::nullopt;
    char16_t unit = 0;
    for (const QChar digit : digits) {
        const int value = QStringView(u"0123456789abcdef").indexOf(digit.toLower());
        if (value < 0)
            return std::nullopt;
        unit = static_cast<char16_t>(unit * 16 + value);
    }
    return unit;
}

// Decodes the JSON string escapes of a value, each escape once, left to right. An escape that
// is cut short or unknown is kept as written.
QString decodeJSONEscapes(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\\' || i + 1 >= text.size()) {
            result.append(c);
            continue;
        }
        const QChar next = text.at(i + 1);
        switch (next.unicode()) {
        case u'\\': result.append(u'\\'); break;
        case u'/': result.append(u'/'); break;
        case u'"': result.append(u'"'); break;
        case u'n': result.append(u'\n'); break;
        case u'r': result.append(u'\r'); break;
        case u't': result.append(u'\t'); break;
        case u'f': result.append(u'\f'); break;
        case u'b': result.append(u'\b'); break;
        case u'u': {
            const auto unit = parseHexUnit(QStringView(text).mid(i + 2, 4));
            if (!unit) {
                result.append(c);
                continue;
            }
            result.append(QChar(*unit));
            i += 5;
            continue;
        }
        default:
            result.append(c);
            continue;
        }
        ++i;
    }
    return result;
}

// Every double quote at the start and at the end of the text.
QStringView stripQuotes(QStringView value)
{
    qsizetype begin = 0;
    qsizetype end = value.size();
    while (begin < end && value[begin] == u'"')
        ++begin;
    while (end > begin && value[end - 1] == u'"')
        --end;
    return value.sliced(begin, end - begin);
}

// The last position before `end` that is not white space; `from` - 1 when there is none.
qsizetype lastNonSpaceBefore(const QString& text, qsizetype from, qsizetype end)
{
    while (end > from && text[end - 1].isSpace())
        --end;
    return end - 1;
}

} // namespace

// One pass over the text: each comma after the colon is looked at once, and white space before a
// comma is walked over only for that comma. Answers can be large, and a quoted value that holds
// many commas must not make the scan go over the text again for each of them.
std::optional<QString> ScanJSONValueForKey(const QString& key, const QString& json)
{
    const QString quotedKey = u'"' + key + u'"';
    const qsizetype keyAt = json.indexOf(quotedKey);
    if (keyAt < 0)
        return std::nullopt;
    const qsizetype colon = json.indexOf(u':', keyAt + quotedKey.size());
    if (colon < 0)
        return std::nullopt;
    qsizetype comma = json.indexOf(u',', colon + 1);
    if (comma < 0)
        return std::nullopt;

    qsizetype first = colon + 1;
    while (first < comma && json[first].isSpace())
        ++first;
    qsizetype last = lastNonSpaceBefore(json, first, comma);
    // A quoted value that holds commas runs on to a later comma; one never closed takes what lies
    // before the last comma.
    const bool quoted = first <= last && json[first] == u'"';
    while (quoted && !(last > first && json[last] == u'"')) {
        const qsizetype nextComma = json.indexOf(u',', comma + 1);
        if (nextComma < 0)
            break;
        last = lastNonSpaceBefore(json, comma, nextComma);
        comma = nextComma;
    }
    const QStringView value = first <= last ? QStringView(json).sliced(first, last - first + 1) : QStringView();
    return decodeJSONEscapes(stripQuotes(value).toString());
}
