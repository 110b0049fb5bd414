#pragma once

#include <QByteArray>
#include <QString>

// Plain text files: bytes to text with the encoding detected, text to UTF-8 or UTF-16 bytes.
namespace PlainTextFormat {

// UTF-8 (with or without its byte order mark) when the bytes are valid UTF-8; UTF-16 when they
// start with a byte order mark (either byte order); otherwise the legacy character set the text's
// statistics point to (Windows Latin when they point nowhere), with a replacement character for
// each byte that character set cannot read.
QString Decode(const QByteArray& bytes);

QByteArray EncodeUTF8(const QString& text);
// Little-endian UTF-16 behind a byte order mark, as the platform's Unicode encoding writes it.
QByteArray EncodeUTF16(const QString& text);

} // namespace PlainTextFormat
