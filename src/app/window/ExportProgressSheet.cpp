#include "app/window/ExportProgressSheet.h"

#include "common/LocalizedStrings.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {

constexpr int kPageBarMaximum = 100; // the export reports a percentage
constexpr int kStartAndEndSteps = 2;

QLabel* MakeLabel(const char* identifier, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(identifier));
    label->setTextFormat(Qt::PlainText); // file names are shown as they are
    label->setMinimumWidth(360);
    return label;
}

QProgressBar* MakeBar(const char* identifier, QWidget* parent)
{
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QString::fromLatin1(identifier));
    bar->setTextVisible(false);
    return bar;
}

} // namespace

ExportProgressSheet::ExportProgressSheet(QWidget* window)
    : QDialog(window)
    , m_conversionFileNumberStaticText(MakeLabel("conversionFileNumberStaticText", this))
    , m_conversionProgressIndicator(MakeBar("conversionProgressIndicator", this))
    , m_exportFilenameLabel(MakeLabel("exportFilenameLabel", this))
    , m_exportNoticeLabel(MakeLabel("exportNoticeLabel", this))
    , m_exportProgressIndicator(MakeBar("exportProgressIndicator", this))
    , m_cancelButton(new QPushButton(Localized("CancelButtonString"), this))
{
    setObjectName(QStringLiteral("exportProgressSheet"));
    setWindowTitle(Localized("Export"));
    setWindowModality(Qt::WindowModal);
    m_cancelButton->setObjectName(QStringLiteral("cancelConversion"));
    m_cancelButton->setAutoDefault(false);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(m_cancelButton, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_conversionFileNumberStaticText);
    layout->addWidget(m_conversionProgressIndicator);
    layout->addSpacing(8);
    layout->addWidget(m_exportFilenameLabel);
    layout->addWidget(m_exportProgressIndicator);
    layout->addWidget(m_exportNoticeLabel);
    layout->addWidget(buttons);

    connect(m_cancelButton, &QPushButton::clicked, this, &ExportProgressSheet::cancelRequested);
    // Until a batch starts the file bar has nothing to count.
    m_conversionProgressIndicator->setRange(0, 0);
}

void ExportProgressSheet::begin()
{
    m_exportProgressIndicator->setRange(0, kPageBarMaximum);
    m_conversionProgressIndicator->setRange(0, kStartAndEndSteps);
    m_conversionProgressIndicator->setValue(0);
    open();
}

void ExportProgressSheet::end()
{
    hide();
    setResult(QDialog::Accepted);
}

void ExportProgressSheet::clear()
{
    m_conversionFileNumberStaticText->clear();
    m_exportNoticeLabel->clear();
    m_exportFilenameLabel->clear();
    m_conversionProgressIndicator->setValue(0);
    m_exportProgressIndicator->setValue(0);
}

void ExportProgressSheet::stepFileBar()
{
    QProgressBar* bar = m_conversionProgressIndicator;
    // A bar still at its reset state (value below its minimum) starts from 0.
    bar->setValue(std::min(bar->maximum(), std::max(bar->value(), bar->minimum()) + 1));
}

void ExportProgressSheet::raiseFileBarMaximum(qint64 addedItems)
{
    QProgressBar* bar = m_conversionProgressIndicator;
    const qint64 raised = std::clamp<qint64>(qint64(bar->maximum()) + addedItems, bar->minimum(),
                                             std::numeric_limits<int>::max());
    bar->setMaximum(int(raised));
}

void ExportProgressSheet::reject()
{
    emit cancelRequested();
}
