#include "platform/TextEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <iconv.h>

namespace {

// One character set: the name glibc's iconv knows it by (libxml2 converts through the same iconv,
// so that name is its label too), the web engine's label, and the names it is asked for by. The
// web labels are those the web engine reads as exactly this character set: CP932 is what browsers
// call Shift_JIS, CP949 what they call EUC-KR, CP950 a subset of what they call Big5.
struct Charset {
    const char* iconvName;
    const char* webLabel;
    std::array<const char*, 8> aliases; // compared after normalizeName; unused slots are null
};

const std::array<Charset, 27> kCharsets{{
    {"UTF-8", "UTF-8", {"utf8", "unicode11utf8"}},
    {"ISO-8859-1", "ISO-8859-1", {"iso88591", "latin1", "l1", "isolatin1", "iso885911987", "cp819", "ibm819"}},
    {"CP1250", "windows-1250", {"cp1250", "windows1250", "xcp1250"}},
    {"CP1251", "windows-1251", {"cp1251", "windows1251", "xcp1251"}},
    {"CP1252", "windows-1252", {"cp1252", "windows1252", "xcp1252"}},
    {"CP1253", "windows-1253", {"cp1253", "windows1253", "xcp1253"}},
    {"CP1254", "windows-1254", {"cp1254", "windows1254", "xcp1254"}},
    {"CP1255", "windows-1255", {"cp1255", "windows1255", "xcp1255"}},
    {"CP1256", "windows-1256", {"cp1256", "windows1256", "xcp1256"}},
    {"CP1257", "windows-1257", {"cp1257", "windows1257", "xcp1257"}},
    {"CP1258", "windows-1258", {"cp1258", "windows1258", "xcp1258"}},
    {"CP874", "windows-874", {"cp874", "windows874", "dos874", "tis620", "iso885911"}},
    {"CP932", "Shift_JIS", {"cp932", "shiftjis", "sjis", "windows31j", "ms932", "xsjis", "mskanji", "csshiftjis"}},
    {"CP936", "GBK", {"cp936", "gbk", "gb2312", "windows936", "xgbk", "euccn", "csgb2312"}},
    {"CP949", "EUC-KR", {"cp949", "euckr", "uhc", "windows949", "ksc56011987", "csksc56011987", "cseuckr"}},
    {"CP950", "Big5", {"cp950", "big5", "windows950", "csbig5", "xxbig5"}},
    {"GB18030", "gb18030", {"gb18030"}},
    {"EUC-JP", "EUC-JP", {"eucjp", "xeucjp", "cseucpkdfmtjapanese"}},
    {"ISO-2022-JP", "ISO-2022-JP", {"iso2022jp", "csiso2022jp"}},
    {"KOI8-R", "KOI8-R", {"koi8r", "koi8", "cskoi8r"}},
    {"KOI8-U", "KOI8-U", {"koi8u", "koi8ru"}},
    {"ISO-8859-2", "ISO-8859-2", {"iso88592", "latin2", "l2", "iso885921987"}},
    {"ISO-8859-5", "ISO-8859-5", {"iso88595", "cyrillic", "iso885951988"}},
    {"ISO-8859-7", "ISO-8859-7", {"iso88597", "greek", "greek8", "iso885971987"}},
    {"ISO-8859-15", "ISO-8859-15", {"iso885915", "latin9", "l9"}},
    {"MACINTOSH", "macintosh", {"macintosh", "macroman", "xmacroman", "mac", "csmacintosh"}},
    {"UTF-16LE", "UTF-16LE", {"utf16le"}},
}};

// Names differ in case and in the separators people put in them ("iso_8859_1", "ISO-8859-1").
QString normalizeName(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (c == u'-' || c == u'_' || c == u' ' || c == u'.' || c == u':')
            continue;
        out.append(c.toLower());
    }
    return out;
}

const Charset* findCharset(const QString& name)
{
    const QString key = normalizeName(name);
    if (key.isEmpty())
        return nullptr;
    for (const Charset& charset : kCharsets) {
        for (const char* alias : charset.aliases) {
            if (alias != nullptr && key == QLatin1String(alias))
                return &charset;
        }
    }
    return nullptr;
}

bool isUtf8Charset(const Charset* charset)
{
    return charset == &kCharsets[0];
}

bool isLatin1Charset(const Charset* charset)
{
    return charset == &kCharsets[1];
}

class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (isOpen())
            iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool isOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

enum class OnInvalid { Fail, Replace };

// Runs one whole conversion. On an invalid or truncated input sequence it fails, or (Replace) puts
// the replacement bytes out and goes on one input byte later.
std::optional<QByteArray> convert(const QByteArray& input, const char* to, const char* from, OnInvalid onInvalid,
                                  const QByteArray& replacement)
{
    IconvHandle cd(to, from);
    if (!cd.isOpen())
        return std::nullopt;
    QByteArray output(input.size() * 4 + 16, Qt::Uninitialized);
    // iconv's interface takes a non-const input pointer but never writes through it.
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    qsizetype used = 0;
    const auto flush = [&](char** inPtr, size_t* inLeftPtr) -> int {
        for (;;) {
            char* out = output.data() + used;
            size_t outLeft = static_cast<size_t>(output.size() - used);
            const size_t result = iconv(cd.get(), inPtr, inLeftPtr, &out, &outLeft);
            used = out - output.data();
            if (result != static_cast<size_t>(-1))
                return 0;
            if (errno != E2BIG)
                return errno;
            output.resize(output.size() * 2 + 16);
        }
    };
    // iconv stops at each invalid sequence and is called again after it. It is handed a bounded
    // piece of the input each time, so that no call costs more than the piece: checkers that look
    // at the whole input range of every call (the sanitizers do) would otherwise make a run of
    // invalid bytes take quadratic time.
    constexpr size_t kPiece = 1024;
    while (inLeft > 0) {
        size_t pieceLeft = std::min(inLeft, kPiece);
        const size_t piece = pieceLeft;
        const int error = flush(&in, &pieceLeft);
        inLeft -= piece - pieceLeft;
        if (error == 0 || (error == EINVAL && pieceLeft < inLeft && pieceLeft < piece))
            continue; // a whole piece, or one that ends inside a sequence the next piece completes
        if (onInvalid == OnInvalid::Fail)
            return std::nullopt;
        // Written over the unused tail, not inserted: inserting would move that whole tail for every
        // invalid byte, which makes a file of invalid bytes take quadratic time.
        if (output.size() - used < replacement.size())
            output.resize(output.size() * 2 + replacement.size());
        std::copy(replacement.cbegin(), replacement.cend(), output.begin() + used);
        used += replacement.size();
        if (error == EINVAL) // truncated at the end: nothing more to read
            break;
        ++in;
        --inLeft;
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr); // back to the initial shift state
    }
    if (flush(nullptr, nullptr) != 0 && onInvalid == OnInvalid::Fail) // shift sequence back to initial state
        return std::nullopt;
    output.truncate(used);
    return output;
}

std::optional<QString> decodeUtf8(const QByteArray& bytes, OnInvalid onInvalid)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError() && onInvalid == OnInvalid::Fail)
        return std::nullopt;
    return text;
}

std::optional<QString> decode(const QByteArray& bytes, const QString& name, OnInvalid onInvalid)
{
    const Charset* charset = findCharset(name);
    if (charset == nullptr)
        return std::nullopt;
    if (isUtf8Charset(charset))
        return decodeUtf8(bytes, onInvalid);
    if (isLatin1Charset(charset))
        return QString::fromLatin1(bytes);
    const std::optional<QByteArray> utf8 =
        convert(bytes, "UTF-8", charset->iconvName, onInvalid, QByteArrayLiteral("\xEF\xBF\xBD"));
    if (!utf8)
        return std::nullopt;
    return QString::fromUtf8(*utf8);
}

} // namespace

namespace TextEncoding {

bool isKnown(const QString& name)
{
    return findCharset(name) != nullptr;
}

std::optional<QString> decodeStrict(const QByteArray& bytes, const QString& name)
{
    return decode(bytes, name, OnInvalid::Fail);
}

std::optional<QString> decodeLossy(const QByteArray& bytes, const QString& name)
{
    return decode(bytes, name, OnInvalid::Replace);
}

std::optional<QByteArray> encodeStrict(const QString& text, const QString& name)
{
    const Charset* charset = findCharset(name);
    if (charset == nullptr)
        return std::nullopt;
    QStringEncoder toUtf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    const QByteArray utf8 = toUtf8.encode(text);
    if (toUtf8.hasError()) // unpaired surrogates have no encoding anywhere
        return std::nullopt;
    if (isUtf8Charset(charset))
        return utf8;
    return convert(utf8, charset->iconvName, "UTF-8", OnInvalid::Fail, {});
}

QByteArray libxml2Label(const QString& name)
{
    const Charset* charset = findCharset(name);
    return charset != nullptr ? QByteArray(charset->iconvName) : QByteArray();
}

QByteArray webCharsetLabel(const QString& name)
{
    const Charset* charset = findCharset(name);
    return charset != nullptr ? QByteArray(charset->webLabel) : QByteArray();
}

bool isUtf8(const QString& name)
{
    return isUtf8Charset(findCharset(name));
}

} // namespace TextEncoding
