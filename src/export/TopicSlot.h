#pragma once

#include <QElapsedTimer>
#include <QUrl>

#include <cstddef>
#include <memory>

class OffscreenWebPage;

// One of the export's off-screen views and the topic it is working on. A view serves topic after
// topic while they go well; one that failed is replaced before its next topic.
struct TopicSlot {
    std::shared_ptr<OffscreenWebPage> webView;
    // False once a topic's load, layout or print failed in the view, or its page opened a dialog.
    bool webViewUsable = false;
    // From the start of a topic until its printout is handed on.
    bool busy = false;
    std::size_t topic = 0; // index in the page list
    QUrl topicUrl;
    QElapsedTimer phaseTimer;
};
