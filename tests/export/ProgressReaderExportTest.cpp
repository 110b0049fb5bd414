#include "support/PdfReadBack.h"
#include "support/AlertAnswerer.h"
#include "chm/CHMDocument.h"
#include "chm/ITSSScheme.h"
#include "export/PDFExportProvider.h"
#include "common/LocalizedStrings.h"
#include "support/TestSupport.h"
#include "support/RecordingDesktop.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

void registerTestUrlSchemes()
{
    registerITSSScheme();
}

namespace {

// A reader window with its document, as a person exports from it.
class ReaderWindowExport : public testing::Test {
protected:
    void SetUp() override
    {
        m_document.setExportProvider(&PDFExportProvider());
        ASSERT_TRUE(m_document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("export-five"))),
                                           QStringLiteral("CHM")));
        m_window.resize(640, 480);
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
        m_document.documentWindow = &m_window;
    }

    // Runs the export action and returns its save panel once it is shown.
    QFileDialog* openSavePanel()
    {
        m_document.exportToPDF();
        QFileDialog* panel = nullptr;
        spinUntil([&] {
            panel = m_window.findChild<QFileDialog*>();
            return panel != nullptr && panel->isVisible();
        });
        return panel;
    }

    QString target() const { return m_folder.filePath(QStringLiteral("reader.pdf")); }

    void choose(QFileDialog& panel)
    {
        panel.setDirectory(m_folder.path());
        panel.selectFile(target());
        static_cast<QDialog&>(panel).accept(); // the Export button
    }

    RecordingDesktop m_desktop;
    QTemporaryDir m_folder;
    QWidget m_window;
    CHMDocument m_document;
};

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST_F(ReaderWindowExport, SavePanelSheetAndAlertThatOpensTheFile)
{
    AlertAnswerer answerer({Localized("OpenPDFFileTitle")});
    QFileDialog* panel = openSavePanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->windowTitle(), Localized("Export as PDF"));
    EXPECT_EQ(panel->labelText(QFileDialog::Accept), QStringLiteral("Export"));
    EXPECT_EQ(panel->labelText(QFileDialog::FileName), QStringLiteral("Export As:"));
    EXPECT_EQ(panel->defaultSuffix(), QStringLiteral("pdf"));
    EXPECT_EQ(panel->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(panel->selectedFiles().value(0).endsWith(QLatin1String("/export-five.pdf")));

    choose(*panel);
    // The progress sheet is up over the window while the export runs, and nothing waits for it.
    ASSERT_TRUE(m_document.isReaderExportRunning());
    ASSERT_NE(m_document.exportProgressSheet, nullptr);
    EXPECT_TRUE(m_document.exportProgressSheet->isVisible());
    EXPECT_EQ(m_document.exportProgressSheet->parentWidget(), &m_window);

    ASSERT_TRUE(spinUntil([&] { return !m_document.isReaderExportRunning(); }));
    EXPECT_EQ(PdfReadBack::pageCount(contents(target())), 5);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.last().title, Localized("SuccessfullConvertMsg"));
    EXPECT_EQ(answerer.last().buttons, QStringList({Localized("OkButtonString"), Localized("OpenPDFFileTitle")}));
    EXPECT_EQ(m_desktop.opened(), QList<QUrl>({QUrl::fromLocalFile(target())}));
    // The sheet is gone and the document keeps no controls of it.
    EXPECT_EQ(m_document.exportProgressSheet, nullptr);
    EXPECT_TRUE(spinUntil([&] { return m_window.findChildren<QDialog*>().isEmpty(); }));
}

TEST_F(ReaderWindowExport, TheSheetsCancelEndsTheExportWithoutAFileOrAnAlert)
{
    AlertAnswerer answerer;
    QFileDialog* panel = openSavePanel();
    ASSERT_NE(panel, nullptr);
    choose(*panel);
    ASSERT_NE(m_document.exportProgressSheet, nullptr);
    static_cast<QDialog*>(m_document.exportProgressSheet)->reject(); // Escape on the sheet
    // The sheet stays until the export has ended.
    EXPECT_TRUE(m_document.exportProgressSheet->isVisible());
    ASSERT_TRUE(spinUntil([&] { return !m_document.isReaderExportRunning(); }));
    EXPECT_FALSE(QFile::exists(target()));
    EXPECT_TRUE(answerer.seen().empty());
    EXPECT_FALSE(m_document.m_isConversionCancelled);
    EXPECT_TRUE(m_desktop.opened().isEmpty());
}

TEST_F(ReaderWindowExport, ACancelledSavePanelStartsNothing)
{
    QFileDialog* panel = openSavePanel();
    ASSERT_NE(panel, nullptr);
    panel->reject();
    QTest::qWait(50);
    EXPECT_FALSE(m_document.isReaderExportRunning());
    EXPECT_EQ(m_document.exportProgressSheet, nullptr);
    EXPECT_TRUE(QDir(m_folder.path()).isEmpty());
}
