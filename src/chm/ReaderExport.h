#pragma once

#include <QPointer>

#include <memory>
#include <thread>

class CHMExporter;
class ReaderExportProgressSheet;

// One export started from a reader window: the exporter, the thread that starts it and the
// progress sheet. Nobody waits for it; the document keeps it until the export has ended.
struct ReaderExport {
    ReaderExport();
    ~ReaderExport();
    ReaderExport(const ReaderExport&) = delete;
    ReaderExport& operator=(const ReaderExport&) = delete;

    // Shared with the export provider that made it, which alone knows the exporter's type.
    std::shared_ptr<CHMExporter> exporter;
    std::thread starter;
    // Owned here, but a child of the document's window, which may go first.
    QPointer<ReaderExportProgressSheet> sheet;
};
