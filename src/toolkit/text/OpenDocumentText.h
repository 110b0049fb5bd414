#pragma once

#include "toolkit/text/ListStyleNames.h"

#include <initializer_list>

// Namespaces of OpenDocument text, and of the OpenOffice.org 1 format it grew from.
namespace OpenDocumentText {

inline constexpr const char* kOffice = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
inline constexpr const char* kStyle = "urn:oasis:names:tc:opendocument:xmlns:style:1.0";
inline constexpr const char* kText = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
inline constexpr const char* kTable = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
inline constexpr const char* kDraw = "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0";
inline constexpr const char* kFo = "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0";
inline constexpr const char* kSvg = "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0";
inline constexpr const char* kXlink = "http://www.w3.org/1999/xlink";
inline constexpr const char* kManifest = "urn:oasis:names:tc:opendocument:xmlns:manifest:1.0";

inline constexpr std::initializer_list<const char*> kOfficeNS = {kOffice, "http://openoffice.org/2000/office"};
inline constexpr std::initializer_list<const char*> kStyleNS = {kStyle, "http://openoffice.org/2000/style"};
inline constexpr std::initializer_list<const char*> kTextNS = {kText, "http://openoffice.org/2000/text"};
inline constexpr std::initializer_list<const char*> kTableNS = {kTable, "http://openoffice.org/2000/table"};
inline constexpr std::initializer_list<const char*> kDrawNS = {kDraw, "http://openoffice.org/2000/drawing"};
inline constexpr std::initializer_list<const char*> kFoNS = {kFo, "http://www.w3.org/1999/XSL/Format"};
inline constexpr std::initializer_list<const char*> kSvgNS = {kSvg, "http://www.w3.org/2000/svg"};
inline constexpr std::initializer_list<const char*> kXlinkNS = {kXlink};

// The style:num-format of a numbered list level; a number format not among them counts 1, 2, 3.
inline constexpr ListStyleName kNumberFormats[] = {
    {QTextListFormat::ListLowerAlpha, "a"},
    {QTextListFormat::ListUpperAlpha, "A"},
    {QTextListFormat::ListLowerRoman, "i"},
    {QTextListFormat::ListUpperRoman, "I"},
    {QTextListFormat::ListDecimal, "1"},
};

} // namespace OpenDocumentText
