#pragma once

#include "platform/FolderRequestInterceptor.h"
#include "toolkit/html/HTMLPrintSettings.h"

#include <QByteArray>
#include <QObject>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>

class OffscreenWebPage;
class QWebEngineProfile;

// The main-thread half of an HTML-to-PDF conversion: an off-screen web page that loads one
// local HTML file at a time and prints it into memory. Create, use and destroy it on the main
// thread.
//
// The file is untrusted: it may load files from its own folder (and below) and nothing else; it
// cannot navigate away, open windows or hand anything to the desktop; its dialogs are passed
// over; a load, a layout or a print that does not end in time is given up.
class HTMLPrintView : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kLoadTimeout{20000};
    static constexpr std::chrono::milliseconds kLayoutTimeout{10000};
    // Frames still loading once the file has loaded are waited for at most this many rounds.
    static constexpr int kFrameLoadRounds = 100;
    static constexpr std::chrono::milliseconds kFrameLoadRoundDelay{50};

    explicit HTMLPrintView(const HTMLPrintSettings& settings);
    ~HTMLPrintView() override;

    // done gets the printed PDF, empty when the file did not load, its frames and scripts held it,
    // or it did not print. It is called exactly once, from the main thread's event loop.
    using Printed = std::function<void(const QByteArray& pdf)>;
    void loadAndPrint(const QUrl& file, Printed done);

private:
    void makePage();
    void loadEnded(bool succeeded);
    void prepareForPrint(int attempt);
    // The limit grows with the page's laid-out height (HTMLPrintSettings::printTimeout).
    void print(std::chrono::milliseconds limit);
    void finish(const QByteArray& pdf);

    HTMLPrintSettings m_settings;
    FolderRequestInterceptor m_interceptor;
    std::unique_ptr<QWebEngineProfile> m_profile;
    std::unique_ptr<OffscreenWebPage> m_page; // destroyed before the profile it uses
    bool m_pageUsable = false;
    Printed m_done;
};
