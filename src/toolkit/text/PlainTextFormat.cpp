#include "toolkit/text/PlainTextFormat.h"

#include "platform/TextEncoding.h"
#include "toolkit/text/LegacyEncodingDetection.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>
#include <utility>

namespace PlainTextFormat {

namespace {

bool StartsWith(const QByteArray& bytes, std::initializer_list<unsigned char> prefix)
{
    if (bytes.size() < static_cast<qsizetype>(prefix.size()))
        return false;
    qsizetype i = 0;
    for (const unsigned char c : prefix) {
        if (static_cast<unsigned char>(bytes[i++]) != c)
            return false;
    }
    return true;
}

// What most text without a byte order mark that is not UTF-8 is written in, on the systems that
// write it: the Windows Latin code page.
const QString kFallbackCharset = QStringLiteral("CP1252");

std::optional<QString> DecodeStrictWith(const QByteArray& bytes, const QByteArray& name)
{
    const QString charset = QString::fromLatin1(name);
    if (TextEncoding::isKnown(charset))
        return TextEncoding::decodeStrict(bytes, charset);
    // a character set the encoding module does not list, as the platform's converters know it
    QStringDecoder decoder(name.constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// Bytes that are not UTF-8, in the character set the detector finds. Bytes that no reading makes
// whole show as replacement characters: a character is never dropped without a trace.
QString DecodeLegacy(const QByteArray& bytes)
{
    const QByteArray detected = LegacyEncodingDetection::Detect(bytes);
    if (!detected.isEmpty()) {
        if (auto text = DecodeStrictWith(bytes, detected))
            return *std::move(text);
        if (TextEncoding::isKnown(QString::fromLatin1(detected)))
            return *TextEncoding::decodeLossy(bytes, QString::fromLatin1(detected));
    }
    if (auto text = TextEncoding::decodeStrict(bytes, kFallbackCharset))
        return *std::move(text);
    return *TextEncoding::decodeLossy(bytes, kFallbackCharset);
}

} // namespace

QString Decode(const QByteArray& bytes)
{
    if (StartsWith(bytes, {0xFF, 0xFE}) || StartsWith(bytes, {0xFE, 0xFF})) {
        const bool little = static_cast<unsigned char>(bytes[0]) == 0xFF;
        QStringDecoder decoder(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Default);
        return decoder(bytes.mid(2));
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QByteArray body = StartsWith(bytes, {0xEF, 0xBB, 0xBF}) ? bytes.mid(3) : bytes;
    QString text = utf8(body);
    if (!utf8.hasError())
        return text;
    return DecodeLegacy(bytes);
}

QByteArray EncodeUTF8(const QString& text)
{
    return text.toUtf8();
}

QByteArray EncodeUTF16(const QString& text)
{
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    return encoder(text);
}

} // namespace PlainTextFormat
