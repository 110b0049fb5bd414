#include "platform/OffscreenWebPage.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include <memory>

TEST(ViewLetGo, TheViewIsHiddenAtOnceAndThePageGoesBeforeItsOwnerIsTold)
{
    QWebEngineProfile profile;
    auto page = std::make_unique<QWebEnginePage>(&profile);
    const QPointer<QWebEnginePage> watched = page.get();
    auto shown = std::make_shared<OffscreenWebPage>(std::move(page), QSize(400, 300));
    const QPointer<QWebEngineView> view = &shown->view();
    // A page that keeps drawing (its view is handed frame after frame until it is hidden), let go
    // while it loads.
    bool ended = false;
    QObject::connect(shown.get(), &OffscreenWebPage::loadEnded, [&ended] { ended = true; });
    shown->load(QUrl(QStringLiteral("data:text/html,<div style='width:40px;height:40px;background:%2336;"
                                    "animation:turn .3s linear infinite'></div><style>@keyframes turn"
                                    "{to{transform:rotate(360deg)}}</style>")),
                std::chrono::seconds(30));

    bool gone = false;
    bool pageLeftWhenTold = false;
    OffscreenWebPage::letGo(std::move(shown), [&] {
        gone = true;
        pageLeftWhenTold = !watched.isNull();
    });
    ASSERT_FALSE(view.isNull());
    EXPECT_FALSE(view->isVisible());
    EXPECT_FALSE(gone);
    const QDeadlineTimer bound(std::chrono::seconds(60));
    while (!gone && !bound.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    EXPECT_TRUE(gone);
    EXPECT_FALSE(pageLeftWhenTold);
    EXPECT_TRUE(watched.isNull());
    EXPECT_TRUE(view.isNull());
    // Nothing the page did after it was let go reached its owner.
    EXPECT_FALSE(ended);
}
