#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// The sheet a batch shows over the main window: the file counter and file bar of the batch, the
// file-name and notice texts and the page bar that the PDF export drives, and a cancel button.
// Escape and the window's close button ask for a cancel too; only the batch ends the sheet.
class ExportProgressSheet : public QDialog {
    Q_OBJECT
public:
    explicit ExportProgressSheet(QWidget* window);

    QLabel* exportFilenameLabel() const { return m_exportFilenameLabel; }
    QLabel* exportNoticeLabel() const { return m_exportNoticeLabel; }
    QProgressBar* exportProgressIndicator() const { return m_exportProgressIndicator; }
    QLabel* conversionFileNumberStaticText() const { return m_conversionFileNumberStaticText; }
    QProgressBar* conversionProgressIndicator() const { return m_conversionProgressIndicator; }
    QPushButton* cancelButton() const { return m_cancelButton; }

    // Both bars become determinate, the file bar with room for the batch's start and end, and the
    // sheet is shown over its window.
    void begin();
    void end();
    // Empties the texts and sets both bars to 0.
    void clear();
    // One more step of the batch: its start, an item begun, its end. The file bar shows the share
    // of the whole batch done: the items before the current one, and as much of the current one
    // as the page bar shows.
    void stepFileBar();
    void raiseFileBarMaximum(qint64 addedItems);

    void reject() override;

signals:
    void cancelRequested();

private:
    void showShareDone();

    qint64 m_fileSteps = 0;
    qint64 m_fileStepsMaximum = 0;
    int m_shareShown = 0; // never goes back within a batch, though the page bar starts again per file

    QLabel* m_conversionFileNumberStaticText;
    QProgressBar* m_conversionProgressIndicator;
    QLabel* m_exportFilenameLabel;
    QLabel* m_exportNoticeLabel;
    QProgressBar* m_exportProgressIndicator;
    QPushButton* m_cancelButton;
};
