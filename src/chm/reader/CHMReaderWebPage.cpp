#include "chm/reader/CHMReaderWebPage.h"

#include "chm/reader/CHMConsole.h"

void CHMReaderWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                                const QString&)
{
    CHMConsole::log(message);
}
