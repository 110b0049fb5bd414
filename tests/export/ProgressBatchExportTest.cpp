#include "ExportTestSupport.h"
#include "common/TomefoldConversionOptions.h"
#include "chm/CHMDocument.h"
#include "chm/ITSSScheme.h"
#include "export/PDFExportProvider.h"
#include "support/TestSupport.h"
#include "support/StubProgressDelegate.h"
#include "support/RecordingDesktop.h"

#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

void registerTestUrlSchemes()
{
    registerITSSScheme();
}

namespace {

// The batch window's controls; at each cancel question it notes what they show.
class WatchingDelegate : public StubProgressDelegate {
public:
    bool isConversionCancelled() const override
    {
        seen << QStringLiteral("%1 | %2 | %3").arg(m_name.text(), m_notice.text()).arg(m_bar.value());
        return false;
    }
    QLabel* exportFilenameLabel() const override { return &m_name; }
    QLabel* exportNoticeLabel() const override { return &m_notice; }
    QProgressBar* exportProgressIndicator() const override { return &m_bar; }

    mutable QStringList seen;

private:
    mutable QLabel m_name;
    mutable QLabel m_notice;
    mutable QProgressBar m_bar;
};

} // namespace

TEST(ProgressBatchExport, ControlsShowTopicsThenLinkProcessingThenSaving)
{
    const RecordingDesktop desktop;
    QTemporaryDir folder;
    CHMDocument document;
    document.setExportProvider(&PDFExportProvider());
    ASSERT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("export-five"))),
                                     QStringLiteral("CHM")));
    WatchingDelegate delegate;
    delegate.exportProgressIndicator()->setRange(0, 100);
    TomefoldConversionOptions options;
    options.pageWidth = 612;
    options.pageHeight = 792;
    options.progressCallback.object = &delegate;
    exportFromWorker(document, QUrl::fromLocalFile(folder.filePath(QStringLiteral("five.pdf"))), options);

    // Each question comes before its own report is shown: the controls show the step before.
    // Before the first page was appended the notice counts 0 pages.
    const QStringList expected({
        " |  | -1", // a bar not started yet
        "Exporting export-five.chm | 0 pages | 0",
        "Exporting export-five.chm | 1 pages | 20",
        "Exporting export-five.chm | 2 pages | 40",
        "Exporting export-five.chm | 3 pages | 60",
        "Exporting export-five.chm | 4 pages | 80",
        "Processing five.pdf | 0 pages | 0",
        "Processing five.pdf | 0 pages | 0",
        "Processing five.pdf | 1 pages | 20",
        "Processing five.pdf | 2 pages | 40",
        "Processing five.pdf | 3 pages | 60",
    });
    EXPECT_EQ(delegate.seen.join(QLatin1Char('\n')).toStdString(), expected.join(QLatin1Char('\n')).toStdString());
    EXPECT_EQ(delegate.exportFilenameLabel()->text(), QStringLiteral("Saving five.pdf"));
    EXPECT_EQ(delegate.exportNoticeLabel()->text(), QStringLiteral("4 pages"));
    // Determinate again once the file is written.
    EXPECT_EQ(delegate.exportProgressIndicator()->maximum(), 100);
    EXPECT_TRUE(desktop.opened().isEmpty());
}
