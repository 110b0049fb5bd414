#include "export/PDFExportProvider.h"

#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "chm/ITSSProtocol.h"
#include "chm/TopicPath.h"
#include "common/ConversionProgressDelegate.h"
#include "common/TomefoldConversionOptions.h"
#include "export/CHMExporter.h"

namespace {

LinkItemList contentsPageList(const CHMDocument& document)
{
    return document.tocSource() != nullptr ? document.tocSource()->pageList() : LinkItemList();
}

// A topic the file holds damaged failed to load: its object is the one the itss scheme asked for.
bool isDamagedTopic(const CHMDocument& document, const LinkItem& item)
{
    const QString path = ITSSProtocol::objectPath(document.composeURL(TopicPath::loadablePath(item.path())));
    return document.isDamagedObject(path) || document.isDamagedObject(QUrl::fromPercentEncoding(path.toUtf8()));
}

ExportReport reportOf(const CHMDocument& document, const CHMExporter& exporter)
{
    ExportReport report;
    report.unprintedTopics = exporter.statistics().unprintedTopics;
    report.topics = int(exporter.pageList().size());
    for (const LinkItemPtr& item : exporter.pageList()) {
        if (item && isDamagedTopic(document, *item))
            ++report.damagedTopics;
    }
    report.contentsDamaged = document.isDamagedObject(document.tocPath());
    report.writeError = exporter.writeError();
    return report;
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
        return reportOf(document, exporter);
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
