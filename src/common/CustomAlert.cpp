#include "common/CustomAlert.h"

#include "common/CustomAlertBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

const char* const kAnswerProperty = "tomefoldAlertAnswer";
constexpr int kTextRightMargin = 16;

QMessageBox::Icon iconForStyle(int style)
{
    switch (style) {
    case 1:
        return QMessageBox::Information;
    case 2:
        return QMessageBox::Critical;
    default:
        return QMessageBox::NoIcon;
    }
}

// Only a button that cancels takes the reject role: the message box would otherwise let Esc press
// an alternate button such as "Discard Value" or "Open Destination Folder".
QMessageBox::ButtonRole roleForAnswer(const QString& title, int answer)
{
    if (CustomAlertBox::isCancelTitle(title))
        return QMessageBox::RejectRole;
    return answer == CustomAlert::kDefaultAnswer ? QMessageBox::AcceptRole : QMessageBox::ActionRole;
}

void addAnswerButton(QMessageBox& box, const QString& title, int answer)
{
    QPushButton* button = box.addButton(title, roleForAnswer(title, answer));
    button->setProperty(kAnswerProperty, answer);
    if (answer == CustomAlert::kDefaultAnswer)
        box.setDefaultButton(button);
}

// The texts go in as plain text: a title or message holding "<b>" or "%d" shows exactly that.
void setAlertTexts(QMessageBox& box, const QString& title, const QString& message)
{
    box.setTextFormat(Qt::PlainText);
    box.setText(title);
    if (!message.isNull())
        box.setInformativeText(message);
    // The informative text has a label of its own, which does not follow the box's text format.
    // The box puts its texts flush with its right edge: leave room on the right. The box sizes
    // itself to its texts when shown.
    for (QLabel* label : box.findChildren<QLabel*>()) {
        if (label->text().isEmpty())
            continue;
        label->setTextFormat(Qt::PlainText);
        label->setContentsMargins(0, 0, kTextRightMargin, 0);
    }
}

void fillAlertBox(QMessageBox& box, int style, const QString& title, const QString& message,
                  const QString& defaultButton, const QString& alterButton, const QString& otherButton)
{
    box.setIcon(iconForStyle(style));
    setAlertTexts(box, title, message);
    // An alert always has a way out: without a default title the button reads "OK".
    addAnswerButton(box, defaultButton.isEmpty() ? QStringLiteral("OK") : defaultButton, CustomAlert::kDefaultAnswer);
    if (!alterButton.isEmpty())
        addAnswerButton(box, alterButton, CustomAlert::kAlternateAnswer);
    if (!otherButton.isEmpty())
        addAnswerButton(box, otherButton, CustomAlert::kOtherAnswer);
    if (auto* custom = dynamic_cast<CustomAlertBox*>(&box))
        custom->keepEnterFromActing();
}

// Below the texts and above the buttons, where an accessory view belongs.
void placeAccessoryView(QMessageBox& box, QWidget* view)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    auto* buttons = box.findChild<QDialogButtonBox*>();
    if (!grid || !buttons) {
        box.layout()->addWidget(view);
        return;
    }
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(grid->indexOf(buttons), &row, &column, &rowSpan, &columnSpan);
    grid->removeWidget(buttons);
    grid->addWidget(view, row, column, 1, columnSpan);
    grid->addWidget(buttons, row + 1, column, rowSpan, columnSpan);
    view->show();
}

} // namespace

CustomAlert::CustomAlert() = default;

CustomAlert::CustomAlert(const QString& title, const QString& message, const QString& defaultButton,
                         const QString& alterButton, const QString& otherButton)
    : m_texts{title.isNull() ? QStringLiteral("") : title, message.isNull() ? QStringLiteral("") : message,
              defaultButton, alterButton, otherButton}
{
}

CustomAlert::~CustomAlert() = default;

CustomAlert::Texts CustomAlert::texts() const
{
    const std::lock_guard guard(m_fieldsLock);
    return m_texts;
}

QWidget* CustomAlert::parentWindow() const
{
    if (QWidget* chosen = window())
        return chosen->window();
    return QApplication::activeWindow();
}

void CustomAlert::showModalSheet()
{
    const Texts shown = texts();
    // Owned here, but watched: the parent window may take the alert with it when it goes.
    const QPointer<QMessageBox> box = new CustomAlertBox(parentWindow());
    fillAlertBox(*box, alertStyle(), shown.title, shown.message, shown.defaultButton, shown.alterButton,
                 shown.otherButton);
    runUntilAnswered(box);
    delete box.data();
}

void CustomAlert::showModalSheetUsingAlert()
{
    const Texts shown = texts();
    if (shown.message.isNull())
        return;
    m_alert = new CustomAlertBox(parentWindow());
    fillAlertBox(*m_alert, alertStyle(), shown.title, shown.message, shown.defaultButton, shown.alterButton,
                 shown.otherButton);
    // The accessory view belongs to whoever set it: lend it to the alert and take it back after.
    const QPointer<QWidget> accessory = view();
    const QPointer<QWidget> accessoryParent = accessory ? accessory->parentWidget() : nullptr;
    if (accessory)
        placeAccessoryView(*m_alert, accessory);
    runUntilAnswered(m_alert);
    if (accessory) {
        accessory->hide();
        accessory->setParent(accessoryParent);
    }
    // Deleted here, on the main thread, whichever thread later disposes of this object.
    delete m_alert.data();
}

void CustomAlert::runUntilAnswered(const QPointer<QMessageBox>& box)
{
    QEventLoop loop;
    QObject::connect(box, &QMessageBox::finished, &loop, [this, shown = box.data(), &loop] {
        const QAbstractButton* clicked = shown->clickedButton();
        const QVariant answer = clicked ? clicked->property(kAnswerProperty) : QVariant();
        monitorAlertDidEnd(answer.isValid() ? answer.toInt() : kDefaultAnswer);
        loop.quit();
    });
    // A window that closes under the alert takes the alert along: count that as the default answer
    // rather than leave the caller waiting for ever.
    QObject::connect(box, &QObject::destroyed, &loop, [this, &loop] {
        if (responseCode() == kAnswerPending)
            monitorAlertDidEnd(kDefaultAnswer);
        loop.quit();
    });
    box->setWindowModality(box->parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    box->show();
    setResponseCode(kAnswerPending);
    while (responseCode() == kAnswerPending)
        loop.exec();
    if (box)
        box->hide();
}

void CustomAlert::showModalAlert()
{
    const Texts shown = texts();
    CustomAlertBox box;
    fillAlertBox(box, alertStyle(), shown.title, shown.message, shown.defaultButton, shown.alterButton,
                 shown.otherButton);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    setResponseCode(clicked ? clicked->property(kAnswerProperty).toInt() : kDefaultAnswer);
}

void CustomAlert::monitorAlertDidEnd(int returnCode)
{
    setResponseCode(returnCode);
    const std::lock_guard guard(m_answerLock);
    m_answered = true;
    m_answerArrived.notify_all();
}

void CustomAlert::wait()
{
    std::unique_lock guard(m_answerLock);
    m_answerArrived.wait(guard, [this] { return m_answered; });
}

QString CustomAlert::message() const { return texts().message; }
QString CustomAlert::defaultButton() const { return texts().defaultButton; }
QString CustomAlert::otherButton() const { return texts().otherButton; }
QString CustomAlert::alterButton() const { return texts().alterButton; }
QString CustomAlert::title() const { return texts().title; }

void CustomAlert::setMessage(const QString& message)
{
    const std::lock_guard guard(m_fieldsLock);
    m_texts.message = message;
}

void CustomAlert::setDefaultButton(const QString& title)
{
    const std::lock_guard guard(m_fieldsLock);
    m_texts.defaultButton = title;
}

void CustomAlert::setOtherButton(const QString& title)
{
    const std::lock_guard guard(m_fieldsLock);
    m_texts.otherButton = title;
}

void CustomAlert::setAlterButton(const QString& title)
{
    const std::lock_guard guard(m_fieldsLock);
    m_texts.alterButton = title;
}

void CustomAlert::setTitle(const QString& title)
{
    const std::lock_guard guard(m_fieldsLock);
    m_texts.title = title;
}

QWidget* CustomAlert::window() const
{
    const std::lock_guard guard(m_fieldsLock);
    return m_window.data();
}

void CustomAlert::setWindow(QWidget* window)
{
    const std::lock_guard guard(m_fieldsLock);
    m_window = window;
}

QWidget* CustomAlert::view() const
{
    const std::lock_guard guard(m_fieldsLock);
    return m_view.data();
}

void CustomAlert::setView(QWidget* view)
{
    const std::lock_guard guard(m_fieldsLock);
    m_view = view;
}
