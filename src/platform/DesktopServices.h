#pragma once

#include <QUrl>

#include <functional>
#include <memory>

// Opens files, folders and web pages with the desktop's handlers. The application goes through
// this interface so that tests can put a recorder in its place.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;
    virtual bool openUrl(const QUrl& url) = 0;
    // Opens url and, on the main thread, tells done whether a program took it. A desktop without
    // any program for the kind of file says so only once its opener has given up, so done may come
    // later; it never comes while the program that took the file is still starting or running.
    // Call it on the main thread. This implementation tells what openUrl answered, at once.
    virtual void openUrlAndReport(const QUrl& url, std::function<void(bool opened)> done);

    // The process-wide instance (the real desktop unless replaced).
    static DesktopServices& instance();
    // Replaces the instance; pass nullptr to go back to the real desktop. Returns the previous one.
    static std::unique_ptr<DesktopServices> replace(std::unique_ptr<DesktopServices> services);
};
