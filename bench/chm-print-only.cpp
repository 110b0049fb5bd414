// chm-print-only [--jobs N] FILE.chm
//
// The engine's part of an export and nothing else: loads every topic the export would print (the
// same page list, profile, view size and page layout, US Letter with 36-point margins) and prints
// it to PDF, `jobs` topics at once (4 by default), each view taking the next topic as soon as its
// print is back; the printed bytes are dropped. Prints key=value lines: topics, the printed bytes,
// the topics whose load or print failed, and seconds. An export can be no faster than this; set
// against chm-export's time it tells what the export adds to the engine's own work.

#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "chm/CHMWebPage.h"
#include "chm/CHMWebProfile.h"
#include "chm/ITSSScheme.h"

#include "headless-engine.h"
#include "chm/TopicPath.h"
#include "common/TomefoldConversionOptions.h"
#include "export/CHMExporter.h"
#include "export/ExportPrintSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWebEngineView>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct PrintOnlyView {
    std::unique_ptr<CHMWebPage> page;
    std::unique_ptr<QWebEngineView> view;
};

class PrintOnly {
public:
    PrintOnly(CHMDocument& document, const LinkItemList& topics, const ExportPrintSettings& settings, int jobs)
        : m_document(document)
        , m_topics(topics)
        , m_settings(settings)
        , m_profile(document)
    {
        for (int job = 0; job < jobs; ++job)
            m_views.push_back(makeView());
    }

    void start()
    {
        for (std::size_t at = 0; at < m_views.size(); ++at)
            next(at);
    }

    qsizetype printedBytes = 0;
    int failed = 0;

private:
    PrintOnlyView makeView()
    {
        PrintOnlyView made{std::make_unique<CHMWebPage>(m_profile.profile()), std::make_unique<QWebEngineView>()};
        made.page->setExportMode(true);
        made.view->setAttribute(Qt::WA_DontShowOnScreen);
        made.view->setPage(made.page.get());
        made.view->resize(m_settings.printableViewSize());
        made.view->show();
        return made;
    }

    void next(std::size_t at)
    {
        if (m_next >= m_topics.size()) {
            if (++m_idle == m_views.size())
                QCoreApplication::quit();
            return;
        }
        const QUrl url = m_document.composeURL(TopicPath::loadablePath(m_topics.at(m_next++)->path()));
        CHMWebPage& page = *m_views[at].page;
        page.setTopicUrl(url);
        QObject::disconnect(&page, &QWebEnginePage::loadFinished, nullptr, nullptr);
        QObject::connect(&page, &QWebEnginePage::loadFinished, &page, [this, at](bool ok) { print(at, ok); });
        page.load(url);
    }

    void print(std::size_t at, bool loaded)
    {
        QObject::disconnect(m_views[at].page.get(), &QWebEnginePage::loadFinished, nullptr, nullptr);
        if (!loaded) {
            ++failed;
            next(at);
            return;
        }
        m_views[at].page->printToPdf(
            [this, at](const QByteArray& printed) {
                printedBytes += printed.size();
                failed += printed.isEmpty() ? 1 : 0;
                next(at);
            },
            m_settings.pageLayout());
    }

    CHMDocument& m_document;
    const LinkItemList& m_topics;
    ExportPrintSettings m_settings;
    CHMWebProfile m_profile;
    std::vector<PrintOnlyView> m_views; // after the profile: the pages go first
    qsizetype m_next = 0;
    std::size_t m_idle = 0;
};

} // namespace

int main(int argc, char** argv)
{
    prepareHeadlessEngine();
    registerITSSScheme();
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    int jobs = 4;
    if (args.size() == 4 && args[1] == QLatin1String("--jobs")) {
        jobs = std::max(1, args[2].toInt());
        args.remove(1, 2);
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: chm-print-only [--jobs N] FILE.chm\n");
        return 2;
    }
    CHMDocument document;
    if (!document.readFromURL(QUrl::fromLocalFile(args[1]), QStringLiteral("CHM"))) {
        std::fprintf(stderr, "cannot open %s\n", qUtf8Printable(args[1]));
        return 1;
    }
    TomefoldConversionOptions options;
    options.pageWidth = 612;
    options.pageHeight = 792;
    options.leftMargin = options.topMargin = options.rightMargin = options.bottomMargin = 36;
    const LinkItemList listed = document.tocSource() != nullptr ? document.tocSource()->pageList() : LinkItemList();
    // The export's own list: the home topic and the topics the contents do not list are printed too.
    const CHMExporter exporter(document, QUrl(), listed, &options);
    QElapsedTimer timer;
    timer.start();
    {
        PrintOnly printing(document, exporter.pageList(), ExportPrintSettings::fromOptions(options), jobs);
        printing.start();
        app.exec();
        std::printf("topics=%lld\nprinted_mb=%.2f\nfailed=%d\n", static_cast<long long>(exporter.pageList().size()),
                    static_cast<double>(printing.printedBytes) / 1048576.0, printing.failed);
    }
    std::printf("jobs=%d\nseconds=%.2f\n", jobs, static_cast<double>(timer.elapsed()) / 1000.0);
    return 0;
}
