#pragma once

#include <QByteArray>

// Which legacy character set (Windows code pages, the East Asian multi-byte sets, KOI8, ISO 8859)
// bytes that are not UTF-8 are most likely written in, by the statistics of the text itself.
namespace LegacyEncodingDetection {

// The character set's name as the detector gives it ("WINDOWS-1252", "SHIFT_JIS", "UHC", ...), or
// empty when the bytes say too little.
QByteArray Detect(const QByteArray& bytes);

} // namespace LegacyEncodingDetection
