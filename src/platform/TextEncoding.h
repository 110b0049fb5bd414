#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Character-set names as CHM files and the encoding menu write them ("CP1252", "iso_8859_1",
// "UTF-8", "Shift_JIS", ...) turned into conversions, and into the labels that libxml2 and the web
// engine understand for the same character set.
//
// Only the character sets listed in TextEncoding.cpp are known. An unknown name decodes nothing
// and has no labels, so that no two components ever disagree on what bytes mean.
//
// One caveat the web engine imposes: it reads every ISO-8859-1 label as windows-1252, so bytes
// 0x80-0x9F of a page announced as ISO-8859-1 show as windows-1252 characters rather than as the
// C1 control characters that ISO-8859-1 assigns there (and that the decoders here produce).
namespace TextEncoding {

// True when the name (any case, any alias listed) is a known character set.
bool isKnown(const QString& name);

// Decodes all bytes; nothing when a byte sequence is not valid in the character set or the name is
// unknown. A NUL byte decodes to U+0000 like any other character.
std::optional<QString> decodeStrict(const QByteArray& bytes, const QString& name);

// Decodes all bytes, putting U+FFFD in place of each byte that starts no valid sequence. Nothing
// only when the name is unknown.
std::optional<QString> decodeLossy(const QByteArray& bytes, const QString& name);

// Encodes the text; nothing when a character has no representation or the name is unknown.
std::optional<QByteArray> encodeStrict(const QString& text, const QString& name);

// The label libxml2's encoding support accepts for this character set; empty when unknown.
QByteArray libxml2Label(const QString& name);

// The charset label the web engine accepts for this character set; empty when unknown.
QByteArray webCharsetLabel(const QString& name);

// True when the name denotes UTF-8.
bool isUtf8(const QString& name);

} // namespace TextEncoding
