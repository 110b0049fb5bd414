#include "common/RunAlertSheet.h"

#include "common/CustomAlert.h"

#include "platform/MainThread.h"

int RunAlertSheet(const QString& title, const QString& message, const QString& defaultButton,
                  const QString& alterButton, const QString& otherButton, QWidget* window)
{
    CustomAlert alert(title, message, defaultButton, alterButton, otherButton);
    if (window)
        alert.setWindow(window);
    runOnMainAndWait([&alert] { alert.showModalSheet(); });
    return alert.responseCode();
}

int RunAlertSheetWithAccessoryView(const QString& title, const QString& message, const QString& defaultButton,
                                   const QString& alterButton, const QString& otherButton, QWidget* window,
                                   QWidget* view)
{
    CustomAlert alert(title, message, defaultButton, alterButton, otherButton);
    if (window)
        alert.setWindow(window);
    if (view)
        alert.setView(view);
    runOnMainAndWait([&alert] { alert.showModalSheetUsingAlert(); });
    return alert.responseCode();
}
