#include "toolkit/html/HTMLToPDF.h"

#include "platform/ConditionLock.h"
#include "platform/MainThread.h"
#include "platform/PdfDocument.h"
#include "toolkit/html/HTMLPrintView.h"
#include "toolkit/html/PDFReplaceByMove.h"
#include "toolkit/options/TextToPDFConversionOptions.h"

#include <QCoreApplication>

namespace {

// Condition of the load handshake once the main thread has printed (or given up on) the file.
constexpr int kFileEnded = 1;

} // namespace

HTMLToPDF::HTMLToPDF() = default;

HTMLToPDF::~HTMLToPDF()
{
    // The web page belongs to the main thread and must go there.
    if (m_webView && QCoreApplication::instance())
        runOnMainAndWait([this] { m_webView.reset(); });
}

void HTMLToPDF::Init(const TextToPDFConversionOptions* options)
{
    if (!options)
        return;
    m_SourceURLs = options->items;
    m_DestinationURL = options->destinationURL;
    m_PrintSettings = HTMLPrintSettings{options->pageWidth, options->pageHeight, options->leftMargin,
                                        options->rightMargin, options->topMargin, options->bottomMargin,
                                        options->orientation};
    m_PDFDocumentAttributes = options->pdfWriteOptions;
    initWebView();
}

void HTMLToPDF::Init(double width, double height, double left, double right, double top, double bottom,
                     std::uint64_t orientation, const QVariantMap& writeOptions)
{
    m_PrintSettings = HTMLPrintSettings{width, height, left, right, top, bottom, orientation};
    m_PDFDocumentAttributes = writeOptions;
    m_SourceURLs.clear();
    m_DestinationURL.clear();
    initWebView();
}

void HTMLToPDF::initWebView()
{
    runOnMainAndWait([this] { m_webView = std::make_unique<HTMLPrintView>(m_PrintSettings); });
}

void HTMLToPDF::webViewLoadRequestOnMainThread(const QUrl& file, const std::function<void(const QByteArray&)>& done)
{
    m_webView->loadAndPrint(file, done);
}

bool HTMLToPDF::SaveAsPDF(const QUrl& file)
{
    // The main thread loads and prints while this one waits: waiting on it would never end.
    if (MainThread::isMainThread() || !m_webView)
        return false;
    ConditionLock condLock(0);
    QByteArray printed;
    MainThread::runOnMainLater([this, file, &printed, &condLock] {
        webViewLoadRequestOnMainThread(file, [&printed, &condLock](const QByteArray& pdf) {
            printed = pdf;
            condLock.setCondition(kFileEnded);
        });
    });
    condLock.waitForCondition(kFileEnded);
    return writePrinted(printed);
}

bool HTMLToPDF::writePrinted(const QByteArray& printed) const
{
    if (printed.isEmpty() || !m_TempDestinationURL.isLocalFile())
        return false;
    const std::unique_ptr<PdfDocument> document = PdfDocument::open(printed);
    if (!document)
        return false;
    // A file printed for a merge is read back at once: written plainly, without the write options.
    if (m_IsSaveAsSinglePDF)
        return document->write(m_TempDestinationURL.toLocalFile());
    return WritePDFByReplaceByMove(*document, m_TempDestinationURL, m_PDFDocumentAttributes);
}
