#pragma once

#include "common/ProgressCallbackInfo.h"
#include "toolkit/html/HTMLPrintSettings.h"
#include "toolkit/options/ConversionListItem.h"
#include "toolkit/texttopdf/PlainTextPrinting.h"

#include <QByteArray>
#include <QUrl>
#include <QVariantMap>

#include <cstdint>

class PdfDocument;
class QTextDocument;
struct TextToPDFConversionOptions;

// Turns text documents (plain text, RTF, RTFD, HTML, web archives, DOCX, WordML, ODT, DOC) into
// PDF with the caller's paper size, margins and orientation: one PDF per document, without its
// blank pages, or every document into one PDF. Plain text gets the caller's text attributes;
// rich text keeps its own unless the caller asks otherwise. Runs on the caller's thread; a
// QGuiApplication must exist.
class TextToPDFConverter {
public:
    TextToPDFConverter() = default;
    ~TextToPDFConverter();
    TextToPDFConverter(const TextToPDFConverter&) = delete;
    TextToPDFConverter& operator=(const TextToPDFConverter&) = delete;

    // The list, destination, paper, write options and attributes; not the progress target nor
    // the merge flag, which the entry point hands over itself.
    void SetOptions(const TextToPDFConversionOptions* options);
    // The paper, write options and attributes of one-file conversions; no list, no destination.
    void SetConversionParameters(std::uint64_t orientation, const QVariantMap& writeOptions,
                                 const QVariantMap& textAttributes, bool applyAttributesToRichText, double width,
                                 double height, double left, double right, double top, double bottom);
    void SetProgressCallback(const ProgressCallbackInfo& progress) { m_progress = progress; }
    // Set by the mixed-list runners: on, the one-file step writes a plain PDF for a merge and
    // keeps blank pages.
    void SetMergeMode(bool merge) { m_mergeMode = merge; }

    // One document to the PDF at output; false when the document cannot be read, printed or
    // written.
    bool ConvertTextFileToPDF(const QUrl& source, const QUrl& output);
    // One PDF per document in the destination folder; false when any document failed or the run
    // was cancelled.
    bool ConvertToSeparatePDFs();
    // Every document into the one PDF at the destination; nothing is written when the run is
    // cancelled or no page was collected, and a document that failed makes the result false.
    bool ConvertToSinglePDF();

    // Whether a file is rich text, which keeps its own attributes: any text document the readers
    // know but plain text; a file of no known type is not.
    static bool IsRichTextFile(const QString& path);

private:
    // The document's text as it is to be printed: read, with the attributes where they apply.
    bool loadDocument(const QString& path, QTextDocument& document) const;
    // The document printed to PDF bytes; empty when it cannot be read or printed.
    PlainTextPrinting::Printed printedDocument(const QString& path) const;
    bool writeForMerge(const QByteArray& printed, const QUrl& output) const;
    bool writeWithoutBlankPages(const PlainTextPrinting::Printed& printed, const QUrl& output) const;

    ConversionList m_items;
    QUrl m_destinationURL;
    ProgressCallbackInfo m_progress;
    HTMLPrintSettings m_printSettings;
    QVariantMap m_pdfWriteOptions;
    QVariantMap m_textAttributes;
    bool m_applyAttributesToRichText = false;
    bool m_mergeMode = false;
};

// The toolkit's entry point: the record's documents to one PDF each in its destination folder, or
// with mergeIntoOne all into the one PDF at its destination. False without a record.
bool ConvertTextToPDF(const TextToPDFConversionOptions* options);
