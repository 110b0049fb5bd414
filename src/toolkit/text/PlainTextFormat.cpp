#include "toolkit/text/PlainTextFormat.h"

#include <QStringDecoder>
#include <QStringEncoder>

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
    return QString::fromLatin1(bytes);
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
