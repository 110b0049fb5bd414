#pragma once

// What the export tests hand the exporter: the batch's letter-sized pages with links and outline,
// and a progress delegate that cancels after a number of reports; and the batch's way of running it.

#include "chm/CHMDocument.h"
#include "common/TomefoldConversionOptions.h"
#include "support/StubProgressDelegate.h"

#include <QEventLoop>
#include <QUrl>

#include <thread>

inline TomefoldConversionOptions letterOptions()
{
    TomefoldConversionOptions options;
    options.pageWidth = 612;
    options.pageHeight = 792;
    options.leftMargin = options.rightMargin = options.topMargin = options.bottomMargin = 36;
    options.exportHyperlinks = 1;
    options.exportTOC = 1;
    return options;
}

// A4 portrait with margins of 27.2 mm, the window's defaults.
inline TomefoldConversionOptions a4WindowOptions()
{
    TomefoldConversionOptions options = letterOptions();
    options.pageWidth = 595.28;
    options.pageHeight = 841.89;
    options.leftMargin = options.rightMargin = options.topMargin = options.bottomMargin = 77.1;
    return options;
}

// Answers the cancel question with yes from its n-th asking on.
class CancellingDelegate : public StubProgressDelegate {
public:
    explicit CancellingDelegate(int cancelAt)
        : m_cancelAt(cancelAt)
    {}
    bool isConversionCancelled() const override { return ++m_asked >= m_cancelAt; }
    int asked() const { return m_asked; }

private:
    int m_cancelAt;
    mutable int m_asked = 0;
};

// Exports as the batch does: from a worker thread, while this (the main) thread serves the pages.
inline ExportReport exportFromWorker(CHMDocument& document, const QUrl& target, TomefoldConversionOptions& options)
{
    QEventLoop loop;
    ExportReport report;
    std::thread worker([&] {
        report = document.exportToPDF(target, &options);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    return report;
}
