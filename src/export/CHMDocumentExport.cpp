#include "chm/CHMDocument.h"

#include "common/TomefoldConversionOptions.h"
#include "chm/CHMTableOfContent.h"
#include "export/CHMExporter.h"

void CHMDocument::exportToPDF(const QUrl& url, TomefoldConversionOptions* options)
{
    const LinkItemList pageList = tocSource() != nullptr ? tocSource()->pageList() : LinkItemList();
    CHMExporter exporter(*this, url, pageList, options);

    mainTomefoldAppDelegateObject = options != nullptr ? options->progressCallback.object : nullptr;
    if (mainTomefoldAppDelegateObject != nullptr) {
        exportFilenameLabel = mainTomefoldAppDelegateObject->exportFilenameLabel();
        exportNoticeLabel = mainTomefoldAppDelegateObject->exportNoticeLabel();
        exportProgressIndicator = mainTomefoldAppDelegateObject->exportProgressIndicator();
    }
    exportProgressSheet = nullptr;

    // After the page list is complete: object names keep the file's own encoding, while the
    // pages served during the export use the chosen one.
    if (options != nullptr && !options->encodingName.isNull())
        setEncodingName(options->encodingName);

    exporter.initConditionalLock();
    exporter.exportToPDF();
    exporter.lockWhenCondition();
    exporter.releaseLock();
}
