#pragma once

#include <QUrl>

#include <cstdint>

struct TomefoldConversionOptions;

// What the single-file step did with one CHM file. Every value but NotOpened means the file was
// opened; only PDFWritten means a PDF now stands in the destination folder (an export that was
// cancelled, printed no page or could not write leaves nothing there).
enum class FileConversionResult : std::uint8_t {
    NotOpened = 0,
    OpenedNothingWritten = 1,
    PDFWritten = 2,
};

// What the single-file step did, with the topics the PDF lacks because they could not be printed.
struct FileConversionReport {
    FileConversionReport(FileConversionResult result = FileConversionResult::NotOpened, int unprintedTopics = 0)
        : result(result)
        , unprintedTopics(unprintedTopics)
    {
    }
    FileConversionResult result;
    int unprintedTopics;
};

// Converts the record's sourceURL into a PDF in its destinationURL folder, named after the source
// with a number added when the name is taken. Blocks until the export has ended: call it away from
// the main thread, which must stay free to load and print the pages. Returns true when the CHM file
// was opened; *pdfWritten (when given) tells whether the PDF was written, and *unprintedTopics how
// many topics it lacks because they could not be printed. A file that cannot be opened is skipped
// silently.
bool ConvertCHMFileToPDF(TomefoldConversionOptions* options, bool* pdfWritten = nullptr, int* unprintedTopics = nullptr);

// The single-file step of a batch: the same on a copy of the record that carries this source and
// destination folder, so the caller's record keeps its own.
FileConversionReport ConvertImageFormatFromURL(const QUrl& sourceURL, const QUrl& destinationURL,
                                               TomefoldConversionOptions options);
