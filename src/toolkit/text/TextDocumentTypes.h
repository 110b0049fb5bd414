#pragma once

#include <QString>

#include <cstdint>

// The toolkit's document type codes for text documents, with the type identifiers they stand for,
// and the classification of a file on disk. The codes the text readers serve are named here.
namespace TextDocumentTypes {

enum : uint32_t {
    kUnknown = 0,
    kRTF = 1,
    kRTFD = 2,
    kHTML = 3,
    kText = 4,
    kPlainText = 5,
    kWebArchive = 6,
    kODT = 7,
    kODTTemplate = 8,
    kOpenOfficeText = 9,
    kOpenOfficeTextTemplate = 10,
    kDOCX = 11,
    kWordML = 12,
    kDOC = 13,
    kMacPlainText = 14,
    kOfficeOpenXMLTemplate = 33, // Word templates (read as DOCX); spreadsheet templates share the code
};

// The code of a type identifier; 0 when none matches (exact comparison).
uint32_t DocumentTypeFromUTI(const QString& identifier);

// The type identifier of a file or folder, from its name and its first bytes ("public.rtf",
// "com.apple.rtfd", "org.openxmlformats.wordprocessingml.document", ...); empty when unknown.
QString TypeIdentifierOfPath(const QString& path);

// The document type code of a file or folder: its identifier, classified.
uint32_t DocumentTypeOfPath(const QString& path);

} // namespace TextDocumentTypes
