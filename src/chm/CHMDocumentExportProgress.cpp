#include "chm/CHMDocument.h"

#include "common/ConversionProgressDelegate.h"
#include "common/LocalizedStrings.h"
#include "platform/MainThread.h"

#include <QLabel>
#include <QProgressBar>
#include <QtMath>

#include <algorithm>

// What an export shows in the three controls it was given, always on the main thread.

namespace {

// The bar's range while it shows a share: the reports are percentages.
constexpr int kDeterminateMaximum = 100;

} // namespace

void CHMDocument::exportedProgressRate(double rate, int pageIndex, const QString& title)
{
    if (mainTomefoldAppDelegateObject != nullptr && mainTomefoldAppDelegateObject->isConversionCancelled())
        m_isConversionCancelled = true;
    const QString notice = QStringLiteral("%1 %2").arg(pageIndex).arg(Localized("pages"));
    // Callers off the main thread wait, so the controls show each step before the export goes on.
    runOnMainAndWait([&] {
        SetProgressFileNameString(title);
        SetProgressLabelString(notice);
        SetProgressIndicator(rate);
    });
}

void CHMDocument::SetProgressFileNameString(const QString& text)
{
    if (exportFilenameLabel == nullptr)
        return;
    exportFilenameLabel->setText(text);
    exportFilenameLabel->repaint();
}

void CHMDocument::SetProgressLabelString(const QString& text)
{
    if (exportNoticeLabel == nullptr)
        return;
    exportNoticeLabel->setText(text);
    exportNoticeLabel->repaint();
}

void CHMDocument::SetProgressIndicator(double rate)
{
    if (exportProgressIndicator == nullptr)
        return;
    const int value = qIsFinite(rate) ? static_cast<int>(std::clamp(rate, 0.0, 100.0)) : 0;
    exportProgressIndicator->setValue(value);
    exportProgressIndicator->repaint();
}

void CHMDocument::StartProgressIndicatorToIndeterminate()
{
    if (exportProgressIndicator == nullptr)
        return;
    // An empty range is the bar's animated busy state.
    exportProgressIndicator->setRange(0, 0);
    exportProgressIndicator->repaint();
}

void CHMDocument::EndProgressIndicatorToIndeterminate()
{
    if (exportProgressIndicator == nullptr)
        return;
    exportProgressIndicator->setRange(0, kDeterminateMaximum);
    exportProgressIndicator->repaint();
}
