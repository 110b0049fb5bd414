#pragma once

#include "chm/CHMWebPage.h"

// A topic page of the reader window: the document's hooks, with page scripts logging to
// CHMConsole.
class CHMReaderWebPage : public CHMWebPage {
    Q_OBJECT
public:
    using CHMWebPage::CHMWebPage;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                  const QString& sourceID) override;
};
