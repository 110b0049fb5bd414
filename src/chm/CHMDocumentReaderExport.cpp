#include "chm/CHMDocument.h"

#include "chm/DocumentExportProvider.h"
#include "chm/ReaderExport.h"
#include "chm/ReaderExportProgressSheet.h"
#include "common/LocalizedStrings.h"
#include "platform/DesktopServices.h"
#include "platform/MainThread.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QProgressBar>

// The reader window's own export: a save panel, the export on a thread of its own with a
// progress sheet and a cancel action, and a completion alert that offers to open the file. The
// exporter comes from the document's export provider.

void CHMDocument::exportToPDF()
{
    if (m_readerExport || m_exportProvider == nullptr)
        return;
    auto* panel = new QFileDialog(documentWindow, Localized("Export as PDF"));
    panel->setOption(QFileDialog::DontUseNativeDialog);
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setLabelText(QFileDialog::Accept, QStringLiteral("Export"));
    panel->setLabelText(QFileDialog::FileName, QStringLiteral("Export As:"));
    panel->setNameFilter(QStringLiteral("PDF (*.pdf)"));
    panel->setDefaultSuffix(QStringLiteral("pdf"));
    panel->selectFile(QFileInfo(filePath()).completeBaseName());
    panel->setWindowModality(Qt::WindowModal);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(panel, &QFileDialog::fileSelected, panel,
                     [this](const QString& file) { startReaderExport(QUrl::fromLocalFile(file)); });
    panel->open();
}

void CHMDocument::startReaderExport(const QUrl& url)
{
    if (m_readerExport || m_exportProvider == nullptr)
        return;
    auto session = std::make_shared<ReaderExport>();
    session->exporter = m_exportProvider->makeExporter(*this, url, [this] { readerExportEnded(); });
    session->sheet = new ReaderExportProgressSheet(documentWindow, [this] { cancelExport(); });
    mainTomefoldAppDelegateObject = nullptr;
    exportProgressSheet = session->sheet;
    exportFilenameLabel = session->sheet->exportFilenameLabel();
    exportNoticeLabel = session->sheet->exportNoticeLabel();
    exportProgressIndicator = session->sheet->exportProgressIndicator();
    m_readerExport = session;
    m_isConversionCancelled = false;
    // Shown before the export starts: an export of no topics ends on the starting thread at once,
    // and a sheet shown after that would never be ended.
    showExportProgressSheet();
    session->starter = std::thread([this, exporter = session->exporter.get()] { Export(*exporter); });
}

void CHMDocument::Export(CHMExporter& exporter)
{
    if (m_exportProvider != nullptr)
        m_exportProvider->start(exporter);
}

void CHMDocument::readerExportEnded()
{
    exportFilenameLabel = nullptr;
    exportNoticeLabel = nullptr;
    exportProgressIndicator = nullptr;
    exportProgressSheet = nullptr;
    // The exporter is still on the stack of its last step: it goes from the event loop.
    MainThread::runOnMainLater([session = std::move(m_readerExport)] {});
}

void CHMDocument::cancelExport()
{
    m_isConversionCancelled = true;
}

void CHMDocument::showExportProgressSheet()
{
    auto* sheet = qobject_cast<QDialog*>(exportProgressSheet);
    if (sheet == nullptr)
        return;
    sheet->open();
    if (exportProgressIndicator != nullptr) {
        exportProgressIndicator->setRange(0, 100);
        exportProgressIndicator->repaint();
    }
}

void CHMDocument::endExportProgressSheet()
{
    if (exportProgressSheet == nullptr)
        return;
    exportProgressSheet->hide();
    if (exportProgressIndicator != nullptr)
        exportProgressIndicator->repaint();
}

void CHMDocument::exportDidEnd(int returnCode, const QUrl& url)
{
    if (returnCode == -1)
        DesktopServices::instance().openUrl(QUrl::fromLocalFile(QFileInfo(url.toLocalFile()).absolutePath()));
    else if (returnCode == 0)
        DesktopServices::instance().openUrl(url);
}
