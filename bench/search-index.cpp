// search-index [--baseline] FILE.chm
//
// Builds the reader's full-text index of a CHM file as the reader window does when it opens, and
// prints key=value lines:
//   documents=        objects in the index
//   threads=          threads that read and prepare objects
//   build_ms=         time from the start of the build until a search may run
//   per_document_ms=  build_ms per document
// With --baseline it also builds the index the simple way for comparison (every object's whole
// markup in the file's code page, one thread, one document after another), and prints
//   baseline_ms=, baseline_per_document_ms=, speedup= (baseline over build).
// Exits 1 when the file does not open as a CHM file.

#include "chm/CHMDirectoryListing.h"
#include "chm/CHMDocument.h"
#include "chm/search/CHMSearchIndex.h"
#include "platform/TextEncoding.h"

#include <QElapsedTimer>
#include <QUrl>

#include <cstdio>
#include <cstring>

namespace {

double msSince(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// The whole markup of every object, in listing order, on this thread.
int buildBaseline(const CHMDocument& document, TextIndex& index)
{
    const std::optional<QList<QByteArray>> names = CHMDirectoryListing::listObjectNames(document.filePath());
    if (!names)
        return 0;
    const QString nameEncoding = document.encodingName().isEmpty() ? QStringLiteral("UTF-8") : document.encodingName();
    for (const QByteArray& name : *names) {
        if (!CHMSearchIndex::isIndexableObjectName(name))
            continue;
        const QString decoded = TextEncoding::decodeLossy(name, nameEncoding).value_or(QString::fromUtf8(name));
        const QString path = decoded.mid(1);
        if (path.isEmpty() || !document.exist(path))
            continue;
        index.addDocument(document.composeURL(path),
                          CHMSearchIndex::objectText(document.content(path), document.encodingName()));
    }
    return index.documentCount();
}

} // namespace

int main(int argc, char** argv)
{
    bool baseline = false;
    const char* file = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--baseline") == 0)
            baseline = true;
        else
            file = argv[i];
    }
    if (file == nullptr) {
        std::fputs("usage: search-index [--baseline] FILE.chm\n", stderr);
        return 2;
    }
    CHMDocument document;
    if (!document.readFromURL(QUrl::fromLocalFile(QString::fromLocal8Bit(file)), QStringLiteral("CHM"))) {
        std::fprintf(stderr, "search-index: %s does not open as a CHM file\n", file);
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    document.prepareSearchIndex();
    document.searchIndex()->waitUntilDone();
    const double buildMs = msSince(timer);
    const int documents = document.searchIndex()->textIndex().documentCount();
    std::printf("documents=%d\nthreads=%u\nbuild_ms=%.0f\nper_document_ms=%.3f\n", documents,
                CHMSearchIndex::preparingThreadCount(), buildMs, documents > 0 ? buildMs / documents : 0.0);

    if (baseline) {
        TextIndex index;
        timer.start();
        const int baselineDocuments = buildBaseline(document, index);
        const double baselineMs = msSince(timer);
        std::printf("baseline_ms=%.0f\nbaseline_per_document_ms=%.3f\nspeedup=%.1f\n", baselineMs,
                    baselineDocuments > 0 ? baselineMs / baselineDocuments : 0.0,
                    buildMs > 0 ? baselineMs / buildMs : 0.0);
    }
    return 0;
}
