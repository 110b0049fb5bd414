#pragma once

#include <QString>
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

// What the single-file step did, with what the PDF lacks and why no PDF was written.
struct FileConversionReport {
    FileConversionReport(FileConversionResult result = FileConversionResult::NotOpened, int unprintedTopics = 0)
        : result(result)
        , unprintedTopics(unprintedTopics)
    {
    }
    FileConversionResult result;
    int unprintedTopics;          // topics that loaded but could not be printed
    int topics = 0;               // topics the export tried
    int damagedTopics = 0;        // topics the file holds damaged, which could not be read
    bool contentsDamaged = false; // the file's table of contents could not be read
    QString writeError;           // why no PDF could be written, when the folder or the write refused it
    // The file opened, yet gave not one topic to print: it is as good as no CHM file.
    bool noTopicRead = false;
};

// Converts the record's sourceURL into a PDF in its destinationURL folder, named after the source
// with a number added when the name is taken. Blocks until the export has ended: call it away from
// the main thread, which must stay free to load and print the pages. A file that cannot be opened
// is skipped silently; nor is one printed when its destination folder takes no file.
FileConversionReport ConvertCHMFileToPDF(TomefoldConversionOptions* options);

// The single-file step of a batch: the same on a copy of the record that carries this source and
// destination folder, so the caller's record keeps its own.
FileConversionReport ConvertImageFormatFromURL(const QUrl& sourceURL, const QUrl& destinationURL,
                                               TomefoldConversionOptions options);
