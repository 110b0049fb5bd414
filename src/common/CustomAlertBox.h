#pragma once

#include <QMessageBox>

class QAbstractButton;
class QLabel;

// The window of an alert.
//
// Esc, and closing the window, press the button titled "Cancel" when there is one, else the one
// titled "No", else the default button when it is a plain "OK" (an alert that only informs, or whose
// other button would act): a key pressed to get away must never discard what the user typed, remove
// or replace anything or open anything, whatever the buttons are called. Otherwise they do nothing.
//
// Its texts are always shown whole: they wrap at a comfortable line length, and the alert is made
// as wide as the longest word (a file name, say) and as tall as the wrapped lines, at any text size.
class CustomAlertBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

    // The button Esc presses, or none.
    QAbstractButton* escapeButton() const;

    // Once the buttons are in: Enter presses "No" or "Cancel" rather than a default button that
    // acts (removes, replaces), so that a key pressed on without reading never does what is asked.
    void keepEnterFromActing();

    // Whether a button of this title is the alert's way to cancel.
    static bool isCancelTitle(const QString& title);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QList<QLabel*> textLabels() const;
    int textWidth(const QList<QLabel*>& labels) const;
    void setTextWidth(const QList<QLabel*>& labels, int width);
    void fitTexts();
};
