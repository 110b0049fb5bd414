#include "platform/DesktopServices.h"

#include "platform/DesktopOpener.h"

#include <QDesktopServices>

#include <mutex>

namespace {

class SystemDesktopServices final : public DesktopServices {
public:
    bool openUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }
    void openUrlAndReport(const QUrl& url, std::function<void(bool opened)> done) override
    {
        // The desktop's own opener tells whether anything took a file; the generic road only
        // whether the opener could be started.
        if (url.isLocalFile())
            DesktopOpener::open(url.toLocalFile(), std::move(done));
        else
            DesktopServices::openUrlAndReport(url, std::move(done));
    }
};

std::mutex& instanceMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::unique_ptr<DesktopServices>& installed()
{
    static std::unique_ptr<DesktopServices> services = std::make_unique<SystemDesktopServices>();
    return services;
}

} // namespace

void DesktopServices::openUrlAndReport(const QUrl& url, std::function<void(bool opened)> done)
{
    const bool opened = openUrl(url);
    if (done)
        done(opened);
}

DesktopServices& DesktopServices::instance()
{
    const std::lock_guard guard(instanceMutex());
    return *installed();
}

std::unique_ptr<DesktopServices> DesktopServices::replace(std::unique_ptr<DesktopServices> services)
{
    const std::lock_guard guard(instanceMutex());
    if (!services)
        services = std::make_unique<SystemDesktopServices>();
    installed().swap(services);
    return services;
}
