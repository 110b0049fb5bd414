#include "export/PDFExportProvider.h"

#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "common/ConversionProgressDelegate.h"
#include "common/TomefoldConversionOptions.h"
#include "export/CHMExporter.h"

namespace {

LinkItemList contentsPageList(const CHMDocument& document)
{
    return document.tocSource() != nullptr ? document.tocSource()->pageList() : LinkItemList();
}

class CHMPDFExportProvider final : public DocumentExportProvider {
public:
    ExportReport exportAndWait(CHMDocument& document, const QUrl& url, TomefoldConversionOptions* options) const override
    {
        CHMExporter exporter(document, url, contentsPageList(document), options);

        document.mainTomefoldAppDelegateObject = options != nullptr ? options->progressCallback.object : nullptr;
        if (ConversionProgressDelegate* delegate = document.mainTomefoldAppDelegateObject) {
            document.exportFilenameLabel = delegate->exportFilenameLabel();
            document.exportNoticeLabel = delegate->exportNoticeLabel();
            document.exportProgressIndicator = delegate->exportProgressIndicator();
        }
        document.exportProgressSheet = nullptr;

        // After the page list is complete: object names keep the file's own encoding, while the
        // pages served during the export use the chosen one.
        if (options != nullptr && !options->encodingName.isNull())
            document.setEncodingName(options->encodingName);

        exporter.initConditionalLock();
        exporter.exportToPDF();
        exporter.lockWhenCondition();
        exporter.releaseLock();
        return ExportReport{exporter.statistics().unprintedTopics};
    }

    std::shared_ptr<CHMExporter> makeExporter(CHMDocument& document, const QUrl& url,
                                              std::function<void()> ended) const override
    {
        auto exporter = std::make_shared<CHMExporter>(document, url, contentsPageList(document), nullptr);
        exporter->setExportEndedHandler(std::move(ended));
        return exporter;
    }

    void start(CHMExporter& exporter) const override { exporter.exportToPDF(); }
};

} // namespace

const DocumentExportProvider& PDFExportProvider()
{
    static const CHMPDFExportProvider provider;
    return provider;
}
