#pragma once

#include <cstddef>
#include <cstdint>

// Bounds on what an untrusted document may make a reader do. A document beyond one of them is
// refused as a whole: a reader never returns part of a document it stopped reading.
namespace TextReadLimits {

// Bytes of a document file (RTF, HTML, plain text, the XML parts of a package).
inline constexpr std::int64_t kMaxDocumentBytes = 256ll << 20;
// Nesting of RTF groups.
inline constexpr int kMaxGroupDepth = 1000;
// RTF groups in one document.
inline constexpr std::int64_t kMaxGroupCount = 5'000'000;
// Bytes of one embedded picture or attachment.
inline constexpr std::int64_t kMaxEmbeddedObjectBytes = 64ll << 20;
// Pixels of one decoded picture.
inline constexpr std::int64_t kMaxImagePixels = 100'000'000;
// Entries of a zip package, bytes of one entry once inflated, and all entries read together.
inline constexpr std::int64_t kMaxZipEntries = 10'000;
inline constexpr std::int64_t kMaxZipEntryBytes = 256ll << 20;
inline constexpr std::int64_t kMaxZipTotalBytes = 512ll << 20;
// Elements of one XML part. What a part costs once parsed follows its elements (a hundred-odd bytes
// each), not its bytes, and not how well its package compressed it: a real document repeating one
// line compresses hundreds of times over. Two million paragraphs of a word processor's markup, at
// eight elements each, stay within.
inline constexpr std::int64_t kMaxXmlElements = 16'000'000;
// Tables inside tables; deeper tables keep their text as paragraphs of the enclosing cell. Qt's
// table layout takes about twice as long for each level: ten levels print in well under a second,
// sixteen take over ten.
inline constexpr int kMaxTableNesting = 10;
// Blocks and inline elements of an HTML page inside one another.
inline constexpr int kMaxHTMLNesting = 64;
// Arrays and dictionaries of a property list (a web archive) inside one another.
inline constexpr int kMaxPlistNesting = 64;
// Bytes of all the local files one HTML page takes its pictures and style sheets from.
inline constexpr std::int64_t kMaxLinkedResourceBytes = 256ll << 20;
// Rows and columns of one table, and cells of all tables of a document.
inline constexpr int kMaxTableRows = 10'000;
inline constexpr int kMaxTableColumns = 256;
inline constexpr int kMaxTableCells = 100'000;
// Repetitions of one row, cell or space run in OpenDocument files.
inline constexpr int kMaxRepeat = 1000;
// What one document may hold in all: characters, paragraphs and pictures. Every element within its
// own bounds can still add up to a document whose layout outgrows the machine.
inline constexpr std::int64_t kMaxDocumentCharacters = 32'000'000;
inline constexpr std::int64_t kMaxDocumentParagraphs = 2'000'000;
inline constexpr std::int64_t kMaxDocumentPictures = 10'000;

} // namespace TextReadLimits
