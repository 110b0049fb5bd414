#include "export/CHMExporter.h"

#include "chm/CHMDocument.h"
#include "common/LocalizedStrings.h"
#include "common/RunAlertSheet.h"
#include "platform/DesktopServices.h"

void CHMExporter::reportProgress(double rate, int pageIndex, const QString& title)
{
    m_lastProgress.rate = rate;
    m_lastProgress.pageIndex = pageIndex;
    m_lastProgress.title = title;
    ++m_lastProgress.reports;
    // The document asks the progress delegate about a cancel here, so a cancel is seen at the
    // exporter's next check.
    m_document.exportedProgressRate(rate, pageIndex, title);
}

void CHMExporter::AlertOnSuccessConversion()
{
    const int answer = RunAlertSheet(Localized("SuccessfullConvertMsg"), QStringLiteral(""), Localized("OkButtonString"),
                                     Localized("OpenPDFFileTitle"), QString(), m_document.documentWindow);
    if (answer == 0)
        DesktopServices::instance().openUrl(m_fileURL);
}
