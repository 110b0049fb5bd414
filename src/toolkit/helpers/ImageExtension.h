#pragma once

#include <QString>

#include <cstdint>

// Where the list of output extensions ships: an XML property list holding one array of strings, indexed
// by image type code.
inline constexpr const char* kImageExtensionResource = ":/toolkit/ImageExtension.plist";

// The output file extension of an image type code; empty when the list is missing or has no entry for
// the code.
QString GetImageExtension(std::uint32_t code);

// The same from a list at the given path (the shipped one by default).
QString GetImageExtension(std::uint32_t code, const QString& listPath);
