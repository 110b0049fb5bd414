#pragma once

#include "toolkit/text/ListStyleNames.h"

#include <initializer_list>

// Namespaces of Word's XML vocabularies, transitional, strict and Word 2003.
namespace WordProcessingML {

inline constexpr const char* kMain = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline constexpr const char* kMainStrict = "http://purl.oclc.org/ooxml/wordprocessingml/main";
inline constexpr const char* kWordML2003 = "http://schemas.microsoft.com/office/word/2003/wordml";
inline constexpr const char* kRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr const char* kRelationshipsStrict = "http://purl.oclc.org/ooxml/officeDocument/relationships";
inline constexpr const char* kPackageRelationships = "http://schemas.openxmlformats.org/package/2006/relationships";

inline constexpr std::initializer_list<const char*> kW = {kMain, kMainStrict, kWordML2003};
inline constexpr std::initializer_list<const char*> kR = {kRelationships, kRelationshipsStrict};

// Numbering formats (<w:numFmt>) of list levels; what is not among them is a bullet.
inline constexpr ListStyleName kNumberFormats[] = {
    {QTextListFormat::ListDecimal, "decimal"},
    {QTextListFormat::ListUpperRoman, "upperRoman"},
    {QTextListFormat::ListLowerRoman, "lowerRoman"},
    {QTextListFormat::ListUpperAlpha, "upperLetter"},
    {QTextListFormat::ListLowerAlpha, "lowerLetter"},
    // Word 2003's numbers for the same (<w:nfc>)
    {QTextListFormat::ListDecimal, "0"},
    {QTextListFormat::ListUpperRoman, "1"},
    {QTextListFormat::ListLowerRoman, "2"},
    {QTextListFormat::ListUpperAlpha, "3"},
    {QTextListFormat::ListLowerAlpha, "4"},
};

} // namespace WordProcessingML
