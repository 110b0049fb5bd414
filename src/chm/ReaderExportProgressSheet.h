#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;

// The sheet a reader window shows while its document exports: the file-name and notice texts,
// the page bar and a cancel button. Escape and the close button ask for a cancel too; only the
// export's end closes the sheet.
class ReaderExportProgressSheet : public QDialog {
public:
    ReaderExportProgressSheet(QWidget* window, std::function<void()> cancel);

    QLabel* exportFilenameLabel() const { return m_exportFilenameLabel; }
    QLabel* exportNoticeLabel() const { return m_exportNoticeLabel; }
    QProgressBar* exportProgressIndicator() const { return m_exportProgressIndicator; }

    void reject() override;

private:
    std::function<void()> m_cancel;
    QLabel* m_exportFilenameLabel;
    QLabel* m_exportNoticeLabel;
    QProgressBar* m_exportProgressIndicator;
};
