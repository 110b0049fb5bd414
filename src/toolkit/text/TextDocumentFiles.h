#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// The document type codes the text readers serve, by name (the toolkit's vocabulary and its
// identifier table are in toolkit/helpers/ImageTypeCodes.h), and the type of a text document on
// disk: a folder, a WordML file or a name the MIME database would misplace included.
namespace DocumentTypeCode {
enum : std::uint32_t {
    Unknown = 0,
    RTF = 1,
    RTFD = 2,
    HTML = 3,
    Text = 4,
    PlainText = 5,
    WebArchive = 6,
    ODT = 7,
    ODTTemplate = 8,
    OpenOfficeText = 9,
    OpenOfficeTextTemplate = 10,
    DOCX = 11,
    WordML = 12,
    DOC = 13,
    MacPlainText = 14,
    OfficeOpenXMLTemplate = 33, // Word templates (read as DOCX); spreadsheet templates share the code
};
} // namespace DocumentTypeCode

namespace TextDocumentFiles {

// The type identifier of a file or folder, from its name and its first bytes ("public.rtf",
// "com.apple.rtfd", "org.openxmlformats.wordprocessingml.document", ...); empty when unknown.
QString TypeIdentifierOfPath(const QString& path);

// The document type code of a file or folder: its identifier, classified.
std::uint32_t DocumentTypeOfPath(const QString& path);

// The bytes of a file of at most `limit` bytes; nothing, and why in `error`, when the file cannot
// be opened or is larger.
std::optional<QByteArray> ReadAtMost(const QString& path, std::int64_t limit, QString* error = nullptr);

// Writes the file whole or leaves what was there; false, and why in `error`, when it fails.
bool Save(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace TextDocumentFiles
