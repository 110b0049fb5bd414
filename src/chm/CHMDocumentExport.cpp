#include "chm/CHMDocument.h"

#include "chm/DocumentExportProvider.h"

#include <QDebug>

ExportReport CHMDocument::exportToPDF(const QUrl& url, TomefoldConversionOptions* options)
{
    // Without the export nothing is written, and the caller sees no file.
    if (m_exportProvider == nullptr) {
        qWarning() << "No PDF export was given to the document; nothing is exported";
        return {};
    }
    return m_exportProvider->exportAndWait(*this, url, options);
}
