#include "platform/DesktopServices.h"

#include <QDesktopServices>

#include <mutex>

namespace {

class SystemDesktopServices final : public DesktopServices {
public:
    bool openUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }
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
