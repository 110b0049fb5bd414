#pragma once

#include <QString>

#include <functional>
#include <memory>

class CHMDocument;
class CHMExporter;
class QUrl;
struct TomefoldConversionOptions;

// What the document's export members need of the PDF export, which is a library above this one:
// the export implements it (PDFExportProvider() in "export/PDFExportProvider.h"), and whoever
// opens a document to export it hands the document one (CHMDocument::setExportProvider). The
// document keeps the export's state and controls; the exporter itself stays on the export's side.
// What an export that ran tells its caller beyond the file it wrote.
struct ExportReport {
    // Topics that loaded but could not be printed; the PDF lacks them.
    int unprintedTopics = 0;
    // Topics the export tried, and those of them the file holds damaged (the PDF lacks them too).
    int topics = 0;
    int damagedTopics = 0;
    // The file names a table of contents that it holds damaged: the PDF has no outline, and only
    // the topics the file lists outside it.
    bool contentsDamaged = false;
    // Why the PDF could not be written, when it could not.
    QString writeError;
};

class DocumentExportProvider {
public:
    virtual ~DocumentExportProvider() = default;

    // The batch road: builds an exporter of the document's contents page list and the record,
    // binds the record's progress controls, applies the record's encoding once the page list is
    // complete, and returns when the export has ended (finished or cancelled).
    virtual ExportReport exportAndWait(CHMDocument& document, const QUrl& url,
                                       TomefoldConversionOptions* options) const = 0;

    // The reader road: an exporter of the document's contents page list without an options record;
    // `ended` runs when its export has ended. The exporter has to live until then.
    virtual std::shared_ptr<CHMExporter> makeExporter(CHMDocument& document, const QUrl& url,
                                                      std::function<void()> ended) const = 0;
    // Schedules the exporter's first topic and returns; the export goes on on the main thread.
    virtual void start(CHMExporter& exporter) const = 0;
};
