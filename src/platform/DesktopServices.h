#pragma once

#include <QUrl>

#include <memory>

// Opens files, folders and web pages with the desktop's handlers. The application goes through
// this interface so that tests can put a recorder in its place.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;
    virtual bool openUrl(const QUrl& url) = 0;

    // The process-wide instance (the real desktop unless replaced).
    static DesktopServices& instance();
    // Replaces the instance; pass nullptr to go back to the real desktop. Returns the previous one.
    static std::unique_ptr<DesktopServices> replace(std::unique_ptr<DesktopServices> services);
};
