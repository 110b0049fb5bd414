#include "chm/ReaderExportProgressSheet.h"

#include "common/LocalizedStrings.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

ReaderExportProgressSheet::ReaderExportProgressSheet(QWidget* window, std::function<void()> cancel)
    : QDialog(window)
    , m_cancel(std::move(cancel))
    , m_exportFilenameLabel(new QLabel(this))
    , m_exportNoticeLabel(new QLabel(this))
    , m_exportProgressIndicator(new QProgressBar(this))
{
    setWindowModality(Qt::WindowModal);
    setWindowTitle(Localized("Export as PDF"));
    m_exportProgressIndicator->setRange(0, 100);
    m_exportProgressIndicator->setTextVisible(false);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* cancelButton = buttons->addButton(Localized("CancelButtonString"), QDialogButtonBox::RejectRole);
    connect(cancelButton, &QPushButton::clicked, this, [this] { reject(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_exportFilenameLabel);
    layout->addWidget(m_exportProgressIndicator);
    layout->addWidget(m_exportNoticeLabel);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

void ReaderExportProgressSheet::reject()
{
    // The sheet stays until the export has ended; the topic being printed is still finished.
    if (m_cancel)
        m_cancel();
}
