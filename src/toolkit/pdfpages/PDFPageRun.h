#pragma once

#include "toolkit/options/ImageSizeOptions.h"

#include <QUrl>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

class ImageConverter;
class MultiPageTIFFFile;
class PDFDoc;

// The values of one page run, shared read-only by its workers, and the one flag any of them may clear.
struct PDFPageRun {
    ImageConverter& converter;
    bool applySize = false;
    ImageSizeOptions size;
    double pageScale = 1.0;
    std::int64_t pageCount = 0; // pages in the run
    std::atomic<bool> succeeded{true};
    // Pages whose content could not be read within the limits: skipped, the run goes on, its result is false.
    std::atomic<int> pagesOverLimit{0};

    bool cancelled() const;
    bool shouldStop() const { return !succeeded.load() || cancelled(); }
    void fail() { succeeded.store(false); }

    // The files of single pages written so far: a failed run removes them.
    void wrote(const QUrl& file);
    void removeWritten();
    std::mutex writtenLock{};
    std::vector<QUrl> written{};
};

// One page of the run into its file (or the next page of the multi-page TIFF when tiff is set).
// Clears the run's flag when the page fails; a page whose boxes are empty is skipped.
void RenderPDFPage(PDFPageRun& run, PDFDoc& document, std::int64_t page, std::int64_t index, const QUrl& output,
                   MultiPageTIFFFile* tiff);
