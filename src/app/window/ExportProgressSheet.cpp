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
constexpr int kFileBarMaximum = 1000; // per mille of the batch

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
    // Over the window but not blocking it: its commands are off during a batch anyway, and Quit and
    // the window's close button have to reach it to ask whether to stop the export.
    setWindowModality(Qt::NonModal);
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
    connect(m_exportProgressIndicator, &QProgressBar::valueChanged, this, &ExportProgressSheet::showShareDone);
    // Until a batch starts the file bar has nothing to count.
    m_conversionProgressIndicator->setRange(0, 0);
}

void ExportProgressSheet::begin()
{
    m_exportProgressIndicator->setRange(0, kPageBarMaximum);
    m_fileSteps = 0;
    m_fileStepsMaximum = kStartAndEndSteps;
    m_shareShown = 0;
    m_conversionProgressIndicator->setRange(0, kFileBarMaximum);
    m_conversionProgressIndicator->setValue(0);
    show();
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
    m_shareShown = 0;
    m_conversionProgressIndicator->setValue(0);
    m_exportProgressIndicator->setValue(0);
}

void ExportProgressSheet::stepFileBar()
{
    // What the page bar shows of the file before belongs to the items done by now.
    m_exportProgressIndicator->setValue(m_exportProgressIndicator->minimum());
    m_fileSteps = std::min(m_fileSteps + 1, m_fileStepsMaximum);
    showShareDone();
}

void ExportProgressSheet::raiseFileBarMaximum(qint64 addedItems)
{
    m_fileStepsMaximum = std::clamp<qint64>(m_fileStepsMaximum + addedItems, kStartAndEndSteps,
                                            std::numeric_limits<int>::max());
    showShareDone();
}

void ExportProgressSheet::showShareDone()
{
    if (m_conversionProgressIndicator->maximum() != kFileBarMaximum)
        return; // no batch yet
    // The start is one step and each item begun another, so the items before the current one are
    // the steps beyond two; a batch of one file steps only at its start and its end.
    double share = 1.0;
    if (m_fileSteps < m_fileStepsMaximum) {
        const double items = double(std::max<qint64>(1, m_fileStepsMaximum - kStartAndEndSteps));
        const double done = double(std::max<qint64>(0, m_fileSteps - kStartAndEndSteps));
        const QProgressBar& page = *m_exportProgressIndicator;
        const double current = page.maximum() > page.minimum() && page.value() >= page.minimum()
                                   ? double(page.value() - page.minimum()) / double(page.maximum() - page.minimum())
                                   : 0.0;
        share = std::min(1.0, (done + current) / items);
    }
    m_shareShown = std::max(m_shareShown, int(share * kFileBarMaximum));
    m_conversionProgressIndicator->setValue(m_shareShown);
}

void ExportProgressSheet::reject()
{
    emit cancelRequested();
}
