#include "toolkit/html/HTMLPrintView.h"

#include "chm/CHMWebPage.h"
#include "platform/OffscreenWebPage.h"
#include "platform/UntrustedWebProfile.h"
#include "toolkit/html/HTMLPrintScript.h"

#include <QFileInfo>
#include <QTimer>
#include <QVariantMap>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

HTMLPrintView::HTMLPrintView(const HTMLPrintSettings& settings)
    : m_settings(settings)
    , m_profile(UntrustedWebProfile::make())
{
    m_profile->setUrlRequestInterceptor(&m_interceptor);
    // Frames of the same folder must be reachable so that their loading can be waited for; the
    // interceptor still keeps every request inside the folder.
    m_profile->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
}

HTMLPrintView::~HTMLPrintView()
{
    m_page.reset();
    m_profile->setUrlRequestInterceptor(nullptr);
}

void HTMLPrintView::makePage()
{
    auto page = std::make_unique<CHMWebPage>(m_profile.get());
    page->setExportMode(true);
    m_page = std::make_unique<OffscreenWebPage>(std::move(page), m_settings.printableViewSize());
    m_pageUsable = true;
    connect(m_page.get(), &OffscreenWebPage::loadEnded, this, &HTMLPrintView::loadEnded);
}

void HTMLPrintView::loadAndPrint(const QUrl& file, Printed done)
{
    m_done = std::move(done);
    if (!file.isLocalFile() || !file.host().isEmpty() || !m_settings.pageLayout().isValid()) {
        finish({});
        return;
    }
    // One page serves file after file while they go well; one that failed (perhaps held by its
    // own scripts), opened a dialog or already shows this file (whose load would not start anew)
    // is replaced. Called from the event loop, never from inside one of the page's callbacks, so
    // the old page may go at once.
    if (!m_page || !m_pageUsable || static_cast<const CHMWebPage&>(m_page->page()).hasOpenedDialogs()
        || OffscreenWebPage::sameDocument(m_page->page().url(), file))
        makePage();
    const QString folder = QFileInfo(file.toLocalFile()).absolutePath();
    m_interceptor.setFolder(folder);
    auto& policy = static_cast<CHMWebPage&>(m_page->page());
    policy.setTopicUrl(file);
    policy.setContentFilter([folder](const QUrl& url) { return FolderRequestInterceptor::isInsideFolder(url, folder); });
    m_page->load(file, kLoadTimeout);
}

void HTMLPrintView::loadEnded(bool succeeded)
{
    if (!succeeded) {
        m_pageUsable = false;
        finish({});
        return;
    }
    prepareForPrint(0);
}

void HTMLPrintView::prepareForPrint(int attempt)
{
    m_page->runScript(HTMLPrintScript::prepareForPrint(m_settings.printableViewSize().width()), kLayoutTimeout,
                      [this, attempt](const std::optional<QVariant>& result) {
                          if (!result) {
                              // The file's own scripts hold the page: it cannot print either.
                              m_pageUsable = false;
                              finish({});
                              return;
                          }
                          const int pending = result->toMap().value(QStringLiteral("pending")).toInt();
                          if (pending > 0 && attempt < kFrameLoadRounds) {
                              QTimer::singleShot(kFrameLoadRoundDelay, this,
                                                 [this, attempt] { prepareForPrint(attempt + 1); });
                              return;
                          }
                          print(m_settings.printTimeout(result->toMap().value(QStringLiteral("height")).toDouble()));
                      });
}

void HTMLPrintView::print(std::chrono::milliseconds limit)
{
    m_page->printToPdf(m_settings.pageLayout(), limit, [this](const QByteArray& pdf) {
        if (pdf.isEmpty())
            m_pageUsable = false;
        finish(pdf);
    });
}

void HTMLPrintView::finish(const QByteArray& pdf)
{
    // Answered from the event loop: the caller may then load the next file or destroy this view.
    if (Printed done = std::exchange(m_done, nullptr))
        QTimer::singleShot(0, this, [done = std::move(done), pdf] { done(pdf); });
}
