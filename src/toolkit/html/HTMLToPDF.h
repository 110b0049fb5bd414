#pragma once

#include "common/ProgressCallbackInfo.h"
#include "toolkit/html/HTMLPrintSettings.h"
#include "toolkit/options/ConversionListItem.h"

#include <QUrl>
#include <QVariantMap>

#include <cstdint>
#include <memory>

class HTMLPrintView;
class PdfDocument;
struct TextToPDFConversionOptions;

// Turns HTML files into PDF: each file is loaded into an off-screen web page on the main thread
// and printed with the paper size, margins and orientation given, while the caller (a worker
// thread; the main thread's event loop must be running) waits. One file at a time with
// SaveAsPDF(file), or a whole list: one PDF per file, or all files into one PDF.
//
// Create and destroy it on the caller's thread; SaveAsPDF and the list runners must not be
// called on the main thread, which they would wait for.
class HTMLToPDF {
public:
    HTMLToPDF();
    ~HTMLToPDF();
    HTMLToPDF(const HTMLToPDF&) = delete;
    HTMLToPDF& operator=(const HTMLToPDF&) = delete;

    // The list, the destination, the paper and the write options of a list conversion.
    void Init(const TextToPDFConversionOptions* options);
    // The paper and the write options of single-file conversions; no list.
    void Init(double width, double height, double left, double right, double top, double bottom,
              std::uint64_t orientation, const QVariantMap& writeOptions);

    void SetProgressCallbackInfo(const ProgressCallbackInfo& progress) { m_ProgressCallback = progress; }
    void SetTempDestinationURL(const QUrl& url) { m_TempDestinationURL = url; }
    // Set: SaveAsPDF(file) writes a plain PDF for a merge, without the write options.
    void SetSaveAsSinglePDF(bool single) { m_IsSaveAsSinglePDF = single; }

    // Converts one file to the PDF at the temporary destination; true on success.
    bool SaveAsPDF(const QUrl& file);
    // List runner: one PDF per file in the destination folder; stops at the first failure.
    bool SaveAsPDF();
    // List runner: all files into the one PDF at the destination. A list that gives no page
    // writes nothing and fails; so does a list in which a file failed (what was collected
    // before it is still written).
    bool SaveAsTextToSinglePDF();

private:
    void initWebView();
    // Main thread: asks the view to load and print the file; done runs on the main thread.
    void webViewLoadRequestOnMainThread(const QUrl& file, const std::function<void(const QByteArray&)>& done);
    bool writePrinted(const QByteArray& printed) const;

    ConversionList m_SourceURLs;
    QUrl m_DestinationURL;
    ProgressCallbackInfo m_ProgressCallback;
    HTMLPrintSettings m_PrintSettings;
    QVariantMap m_PDFDocumentAttributes;
    std::unique_ptr<HTMLPrintView> m_webView; // lives on the main thread
    QUrl m_TempDestinationURL;
    bool m_IsSaveAsSinglePDF = false;
};
