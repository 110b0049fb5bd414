#pragma once

#include <QString>

namespace WBQUtil {

// Shows a desktop notification with the title, the text and the default notification sound through the
// freedesktop notification service on the session bus. The message is sent from the main thread (a caller
// on another thread waits until it has been sent) and the service's answer is not awaited. Without a
// session bus nothing happens: that is where notifications do not exist, which the release of the system
// cannot tell on Linux.
void PostUserNotification(const QString& title, const QString& text);

} // namespace WBQUtil
