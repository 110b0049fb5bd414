#pragma once

#include <QString>

class QWidget;

// Shows a window-modal alert on the window (the active window when none is given) and returns the
// button pressed: 1 default, 0 alternate, -1 other. Callable from any thread: the alert runs on the
// main thread and the calling thread waits for the answer. Null texts show as empty; a null or
// empty button title means no such button.
int RunAlertSheet(const QString& title, const QString& message, const QString& defaultButton,
                  const QString& alterButton, const QString& otherButton, QWidget* window);

// The same with a view of the caller's shown inside the alert, between the texts and the buttons.
int RunAlertSheetWithAccessoryView(const QString& title, const QString& message, const QString& defaultButton,
                                   const QString& alterButton, const QString& otherButton, QWidget* window,
                                   QWidget* view);
