#include "export/CHMExporter.h"

#include "app/ConversionProgressDelegate.h"
#include "chm/CHMDocument.h"

void CHMExporter::reportProgress(double rate, int pageIndex, const QString& title)
{
    // The progress controls show these values once the export's progress display is in place;
    // the cancel question is asked at every report already, so a cancel is seen at the next step.
    m_lastProgress.rate = rate;
    m_lastProgress.pageIndex = pageIndex;
    m_lastProgress.title = title;
    ++m_lastProgress.reports;
    const ConversionProgressDelegate* delegate = m_document.mainTomefoldAppDelegateObject;
    if (delegate != nullptr && delegate->isConversionCancelled())
        m_document.m_isConversionCancelled = true;
}
