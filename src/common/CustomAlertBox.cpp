#include "common/CustomAlertBox.h"

#include "common/LocalizedStrings.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QScreen>

#include <algorithm>

namespace {

// Line lengths, in average characters, between which the texts wrap.
constexpr int kShortestLine = 46;
constexpr int kLongestLine = 64;

// The width of a text's longest line when nothing is wrapped.
int unwrappedWidth(const QLabel& label)
{
    return label.fontMetrics().boundingRect(QRect(0, 0, 1 << 20, 1 << 20), 0, label.text()).width();
}

// A button's title without its mnemonic and blanks.
QString plainTitle(const QString& title)
{
    QString plain = title;
    plain.remove(QLatin1Char('&'));
    return plain.trimmed();
}

bool hasTitle(const QAbstractButton& button, const char* english, const char* key)
{
    const QString title = plainTitle(button.text());
    return title == QLatin1String(english) || title == Localized(key);
}

} // namespace

bool CustomAlertBox::isCancelTitle(const QString& title)
{
    const QString plain = plainTitle(title);
    return plain == QLatin1String("Cancel") || plain == Localized("CancelButtonString");
}

QAbstractButton* CustomAlertBox::escapeButton() const
{
    const QList<QAbstractButton*> all = buttons();
    for (QAbstractButton* button : all) {
        if (isCancelTitle(button->text()))
            return button;
    }
    for (QAbstractButton* button : all) {
        if (hasTitle(*button, "No", "NoTitle"))
            return button;
    }
    QAbstractButton* plainDefault = defaultButton();
    return plainDefault && hasTitle(*plainDefault, "OK", "OkButtonString") ? plainDefault : nullptr;
}

void CustomAlertBox::keepEnterFromActing()
{
    QPushButton* current = defaultButton();
    if (current && hasTitle(*current, "OK", "OkButtonString"))
        return;
    if (auto* way = qobject_cast<QPushButton*>(escapeButton()))
        setDefaultButton(way);
}

void CustomAlertBox::keyPressEvent(QKeyEvent* event)
{
    // The message box would otherwise press its only button, or the one with the reject role.
    if (event->matches(QKeySequence::Cancel)) {
        if (QAbstractButton* escape = escapeButton())
            escape->click();
        event->accept();
        return;
    }
    QMessageBox::keyPressEvent(event);
}

void CustomAlertBox::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (QAbstractButton* escape = escapeButton())
        escape->click();
}

bool CustomAlertBox::event(QEvent* event)
{
    // The message box sizes itself again on these, and then it leaves a text it thinks short enough
    // unwrapped however narrow it makes itself: size it after it, every time.
    const bool handled = QMessageBox::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::LayoutRequest:
    case QEvent::FontChange:
    case QEvent::StyleChange:
        if (isVisible())
            fitTexts();
        break;
    default:
        break;
    }
    return handled;
}

QList<QLabel*> CustomAlertBox::textLabels() const
{
    QList<QLabel*> labels;
    for (QLabel* label : findChildren<QLabel*>()) {
        if (!label->text().isEmpty() && !label->isHidden())
            labels << label;
    }
    return labels;
}

// Wide enough for the longest unwrapped line up to a comfortable length; when a word that cannot
// be broken (a file name) is longer still, as wide as the longest line, so that what goes with the
// word stays on its line. No wider than the screen leaves room for.
int CustomAlertBox::textWidth(const QList<QLabel*>& labels) const
{
    int wanted = 0;
    int longestWord = 0;
    int longestLine = 0;
    for (const QLabel* label : labels) {
        const int average = label->fontMetrics().averageCharWidth();
        const int unwrapped = unwrappedWidth(*label);
        wanted = std::max(wanted, std::clamp(unwrapped, kShortestLine * average, kLongestLine * average));
        longestLine = std::max(longestLine, unwrapped);
        const QMargins margins = label->contentsMargins();
        longestWord = std::max(longestWord, label->minimumSizeHint().width() - margins.left() - margins.right());
    }
    return longestWord > wanted ? std::max(longestWord, longestLine) : wanted;
}

void CustomAlertBox::setTextWidth(const QList<QLabel*>& labels, int width)
{
    for (QLabel* label : labels) {
        const QMargins margins = label->contentsMargins();
        label->setMinimumWidth(width + margins.left() + margins.right());
    }
    layout()->activate();
}

void CustomAlertBox::fitTexts()
{
    const QList<QLabel*> labels = textLabels();
    if (labels.isEmpty() || !layout())
        return;
    for (QLabel* label : labels) {
        label->setWordWrap(true);
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        label->setSizePolicy(policy);
    }
    const int width = textWidth(labels);
    setTextWidth(labels, width);
    int boxWidth = layout()->totalMinimumSize().width();
    // Never wider than the screen: a word longer than the screen is wide would be cut either way.
    const int screenWidth = screen() ? screen()->availableGeometry().width() : boxWidth;
    if (boxWidth > screenWidth) {
        setTextWidth(labels, std::max(1, width - (boxWidth - screenWidth)));
        boxWidth = layout()->totalMinimumSize().width();
    }
    const int boxHeight = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(boxWidth)
                                                        : layout()->totalMinimumSize().height();
    setFixedSize(boxWidth, boxHeight);
    // What the changes above posted would only size the box again, to the same size.
    QCoreApplication::removePostedEvents(this, QEvent::LayoutRequest);
}
